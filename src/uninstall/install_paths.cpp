#include "uninstall/install_paths.h"

#include <cctype>
#include <vector>

#include "platform/platform.h"

namespace qr5::uninstall {

namespace {

std::string Upper(const std::string& text) { return platform::Sys().system->UpperCase(text); }

// Whether text ends in a backslash that is no trail byte of a double-byte
// character.
bool EndsWithSeparator(const std::string& text) {
  platform::SystemInfo& system = *platform::Sys().system;
  bool separator = false;
  for (size_t i = 0; i < text.size(); ++i) {
    separator = text[i] == '\\';
    if (system.IsLeadByte(text[i]) && i + 1 < text.size()) {
      ++i;
      separator = false;
    }
  }
  return separator;
}

}  // namespace

std::string InFolder(const std::string& dir, const std::string& relative) {
  return EndsWithSeparator(dir) ? dir + relative : dir + "\\" + relative;
}

std::string CanonicalPath(const std::string& path) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) return "";
  platform::SystemInfo& system = *platform::Sys().system;
  std::vector<std::string> names;
  std::string name;
  auto end_name = [&] {
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    name.clear();
  };
  for (size_t i = 2; i < path.size(); ++i) {
    const char c = path[i];
    // The trail byte of a double-byte character may be 0x5C: no separator.
    if (system.IsLeadByte(c) && i + 1 < path.size()) {
      name += c;
      name += path[++i];
    } else if (c == '\\' || c == '/') {
      end_name();
    } else {
      name += c;
    }
  }
  end_name();
  if (!names.empty()) {
    std::string& last = names.back();
    while (!last.empty() && (last.back() == ' ' || last.back() == '.')) last.pop_back();
    if (last.empty()) names.pop_back();
  }
  std::string full(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
  full += ":\\";
  for (size_t i = 0; i < names.size(); ++i) full += (i > 0 ? "\\" : "") + names[i];
  return full;
}

bool IsInside(const std::string& dir, const std::string& path) {
  const std::string full_dir = CanonicalPath(dir);
  const std::string full_path = CanonicalPath(path);
  if (full_dir.empty() || full_path.empty()) return false;
  const std::string prefix = InFolder(full_dir, "");
  if (full_path.size() <= prefix.size()) return false;
  // Windows compares paths in the letter case of the code page: beyond ASCII,
  // and never folding the trail byte of a double-byte character.
  return Upper(full_path.substr(0, prefix.size())) == Upper(prefix);
}

bool SamePath(const std::string& a, const std::string& b) {
  const std::string full_a = CanonicalPath(a);
  return !full_a.empty() && Upper(full_a) == Upper(CanonicalPath(b));
}

bool IsDriveRoot(const std::string& path) { return CanonicalPath(path).size() == 3; }

}  // namespace qr5::uninstall
