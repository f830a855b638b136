#include "platform/sim/sim_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/sim/sim_codepage.h"
#include "platform/sim/sim_short_names.h"

namespace qr5::platform::sim {

namespace {

constexpr size_t kMaxPath = 260;

bool IsDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool InvalidNameChar(char ch, bool wildcards_allowed) {
  const auto c = static_cast<unsigned char>(ch);
  if (c < 0x20) return true;
  switch (ch) {
    case '<': case '>': case ':': case '"': case '|':
      return true;
    case '*': case '?':
      return !wildcards_allowed;
    default:
      return false;
  }
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == '\\') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

bool StatPath(const std::string& path, struct stat* st) { return ::stat(path.c_str(), st) == 0; }

}  // namespace

WindowsPath WindowsPath::Parent() const {
  WindowsPath parent = *this;
  if (!parent.parts.empty()) parent.parts.pop_back();
  parent.trailing_separator = false;
  return parent;
}

std::string WindowsPath::ToString() const {
  std::string text;
  text.push_back(drive);
  text += ":\\";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text.push_back('\\');
    text += parts[i];
  }
  return text;
}

uint32_t ParseWindowsPath(const std::string& raw, const std::string& current_dir,
                          bool wildcard_leaf, WindowsPath* out) {
  if (raw.empty()) return ERROR_PATH_NOT_FOUND;
  if (raw.size() >= kMaxPath) return kErrorFilenameExcedRange;
  std::string path = raw;
  std::replace(path.begin(), path.end(), '/', '\\');
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return ERROR_PATH_NOT_FOUND;

  WindowsPath current;
  if (current_dir.size() >= 2 && current_dir[1] == ':') {
    current.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(current_dir[0])));
    current.parts = Split(current_dir.substr(2));
  } else {
    current.drive = 'C';
  }

  WindowsPath result;
  std::string rest;
  if (path.size() >= 2 && path[1] == ':' && IsDriveLetter(path[0])) {
    result.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    rest = path.substr(2);
    if ((rest.empty() || rest[0] != '\\') && result.drive == current.drive) result.parts = current.parts;
  } else {
    result.drive = current.drive;
    rest = path;
    if (rest[0] != '\\') result.parts = current.parts;
  }
  const std::vector<std::string> parts = Split(rest);
  const bool trailing = !rest.empty() && rest.back() == '\\';
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string name = parts[i];
    const bool last = i + 1 == parts.size() && !trailing;
    if (name == ".") continue;
    if (name == "..") {
      if (!result.parts.empty()) result.parts.pop_back();
      continue;
    }
    if (last) {
      while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    } else if (name.size() >= 2 && name.back() == '.' && name[name.size() - 2] != '.') {
      name.pop_back();
    }
    if (name.empty()) continue;
    const bool leaf = i + 1 == parts.size();
    for (char c : name) {
      if (InvalidNameChar(c, wildcard_leaf && leaf)) return ERROR_INVALID_NAME;
    }
    result.parts.push_back(name);
  }
  result.trailing_separator = trailing && !result.parts.empty();
  if (result.ToString().size() >= kMaxPath) return kErrorFilenameExcedRange;
  *out = std::move(result);
  return ERROR_SUCCESS;
}

std::string PathResolver::Drives() const {
  std::string letters = not_ready_;
  if (DIR* dir = ::opendir((root_ + "/drives").c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() != 1 || !IsDriveLetter(name[0])) continue;
      struct stat st;
      if (!StatPath(root_ + "/drives/" + name, &st) || !S_ISDIR(st.st_mode)) continue;
      if (Escapes(root_ + "/drives/" + name)) continue;
      letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(name[0]))));
    }
    ::closedir(dir);
  }
  std::sort(letters.begin(), letters.end());
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  return letters;
}

bool PathResolver::DriveNotReady(char drive) const {
  return not_ready_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(drive)))) !=
         std::string::npos;
}

std::string PathResolver::DriveFolder(char drive) const {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(drive)));
  for (char letter : {upper, lower}) {
    const std::string folder = root_ + "/drives/" + std::string(1, letter);
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) return folder;  // not a link: nothing to follow
    if (StatPath(folder, &st) && S_ISDIR(st.st_mode) && !Escapes(folder)) return folder;
  }
  return "";
}

bool PathResolver::Escapes(const std::string& host) const {
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  if (real_root_.empty()) {
    char* real = ::realpath(root_.c_str(), nullptr);
    if (real == nullptr) return true;
    real_root_ = real;
    std::free(real);
  }
  char* target = ::realpath(host.c_str(), nullptr);
  if (target == nullptr) return true;  // dangling: where it leads cannot be told
  const std::string real_target = target;
  std::free(target);
  return real_target.compare(0, real_root_.size() + 1, real_root_ + "/") != 0;
}

bool PathResolver::FindEntry(const std::string& dir, const std::string& name,
                             std::string* host_name) const {
  struct stat st;
  return FindEntry(dir, name, host_name, &st);
}

bool PathResolver::FindEntry(const std::string& dir, const std::string& name, std::string* host_name,
                             struct stat* st) const {
  const std::string exact = AnsiToUtf8(name);
  if (::lstat((dir + "/" + exact).c_str(), st) == 0) {
    *host_name = exact;
    return true;
  }
  DIR* handle = ::opendir(dir.c_str());
  if (handle == nullptr) return false;
  const bool may_be_alias = name.find('~') != std::string::npos && IsLegalShortName(name);
  std::string by_name;
  std::string by_alias;
  while (dirent* entry = ::readdir(handle)) {
    const std::string host = entry->d_name;
    if (host == "." || host == "..") continue;
    bool representable = true;
    const std::string ansi = Utf8ToAnsi(host, &representable);
    if (!representable) continue;
    // Several spellings of one name can exist on the host; take the
    // smallest so the choice does not depend on the directory order.
    if (AnsiEqualNoCase(ansi, name)) {
      if (by_name.empty() || host < by_name) by_name = host;
    } else if (may_be_alias && !IsLegalShortName(ansi) && AnsiEqualNoCase(MakeShortName(ansi), name)) {
      if (by_alias.empty() || host < by_alias) by_alias = host;
    }
  }
  ::closedir(handle);
  if (by_name.empty() && by_alias.empty()) return false;
  *host_name = by_name.empty() ? by_alias : by_name;
  return ::lstat((dir + "/" + *host_name).c_str(), st) == 0;
}

HostLocation PathResolver::Resolve(const WindowsPath& path) const {
  HostLocation loc;
  if (DriveNotReady(path.drive)) {
    loc.error = ERROR_NOT_READY;
    return loc;
  }
  std::string dir = DriveFolder(path.drive);
  if (dir.empty()) {
    loc.error = ERROR_PATH_NOT_FOUND;
    return loc;
  }
  if (path.parts.empty()) {
    loc.host = dir;
    loc.exists = true;
    loc.is_dir = true;
    return loc;
  }
  // The entry's own status tells whether it is a link; only a link needs
  // the status of where it leads and the check that it stays inside.
  const auto followed = [this](const std::string& host, struct stat* st, bool* escapes) {
    *escapes = false;
    if (!S_ISLNK(st->st_mode)) return true;
    *escapes = Escapes(host);
    return StatPath(host, st);
  };
  for (size_t i = 0; i + 1 < path.parts.size(); ++i) {
    std::string host_name;
    struct stat st;
    bool escapes = false;
    if (loc.error == 0 && FindEntry(dir, path.parts[i], &host_name, &st) &&
        followed(dir + "/" + host_name, &st, &escapes) && S_ISDIR(st.st_mode)) {
      if (escapes) loc.error = ERROR_ACCESS_DENIED;
      dir += "/" + host_name;
    } else {
      loc.error = ERROR_PATH_NOT_FOUND;
      dir += "/" + AnsiToUtf8(path.parts[i]);
    }
  }
  loc.parent_host = dir;
  if (loc.error != 0) {
    loc.leaf = AnsiToUtf8(path.parts.back());
    loc.host = dir + "/" + loc.leaf;
    return loc;
  }
  std::string host_name;
  struct stat st;
  if (FindEntry(dir, path.parts.back(), &host_name, &st)) {
    loc.leaf = host_name;
    loc.host = dir + "/" + host_name;
    bool escapes = false;
    const bool present = followed(loc.host, &st, &escapes);
    if (escapes) {
      loc.error = ERROR_ACCESS_DENIED;
      return loc;
    }
    if (present) {
      loc.exists = true;
      loc.is_dir = S_ISDIR(st.st_mode);
    }
  } else {
    loc.leaf = AnsiToUtf8(path.parts.back());
    loc.host = dir + "/" + loc.leaf;
  }
  return loc;
}

std::string HostToWindowsPath(const std::string& root, const std::string& host) {
  const std::string prefix = root + "/drives/";
  if (host.compare(0, prefix.size(), prefix) != 0) return "";
  const std::string rest = host.substr(prefix.size());
  if (rest.empty() || !IsDriveLetter(rest[0]) || (rest.size() > 1 && rest[1] != '/')) return "";
  std::string result;
  result.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0]))));
  result += ":\\";
  std::string tail = rest.size() > 2 ? rest.substr(2) : "";
  std::string part;
  bool first = true;
  auto flush = [&] {
    if (part.empty()) return;
    if (!first) result.push_back('\\');
    result += Utf8ToAnsi(part);
    first = false;
    part.clear();
  };
  for (char c : tail) {
    if (c == '/') {
      flush();
    } else {
      part.push_back(c);
    }
  }
  flush();
  return result;
}

}  // namespace qr5::platform::sim
