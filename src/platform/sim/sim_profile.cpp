#include "platform/sim/sim_profile.h"

#include "platform/sim/sim_host_io.h"
#include "platform/sim/sim_ini_text.h"

namespace qr5::platform::sim {

namespace {

std::string ProfilePath(const std::string& file) {
  if (file.find_first_of("\\/:") == std::string::npos) return "C:\\WINDOWS\\" + file;
  return file;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::string SimProfile::GetString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& default_value) {
  // The system drops trailing blanks of the default.
  std::string fallback = default_value;
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
  if (fallback.size() > 2047) fallback.resize(2047);
  if (key.empty()) return "";
  if (file.empty()) return fallback;

  WindowsPath wp;
  HostLocation loc;
  std::string text;
  if (!files_.Locate(ProfilePath(file), &wp, &loc) || !loc.exists || loc.is_dir ||
      !ReadHostFile(loc.host, &text)) {
    return fallback;
  }
  const auto value = IniFindValue(text, section, key);
  return value ? IniProfileValue(*value) : fallback;
}

bool SimProfile::WriteString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) {
  // A line break would add lines of its own and change the rest of the file.
  if (file.empty() || section.empty() || key.empty() || HasLineBreak(section) ||
      HasLineBreak(key) || HasLineBreak(value) || key.find('=') != std::string::npos) {
    return files_.Fail(ERROR_INVALID_PARAMETER);
  }
  const std::string path = ProfilePath(file);
  WindowsPath wp;
  HostLocation loc;
  if (!files_.Locate(path, &wp, &loc)) return false;
  if (loc.is_dir) return files_.Fail(ERROR_ACCESS_DENIED);
  std::string text;
  if (loc.exists) {
    if (files_.GetFileAttributes(path) & FILE_ATTRIBUTE_READONLY) {
      return files_.Fail(ERROR_ACCESS_DENIED);
    }
    if (!ReadHostFile(loc.host, &text)) return files_.Fail(ERROR_ACCESS_DENIED);
  }
  // A value written as it stands leaves the file alone; any other write
  // saves the whole file in Wine's form, blank lines gone.
  const size_t value_start = value.find_first_not_of(" \t");
  const std::string stored = value.substr(value_start == std::string::npos ? value.size() : value_start);
  if (loc.exists && IniFindValue(text, section, key) == stored) return true;
  const std::string edited = IniEdit(IniRewrite(text), section, key, value);
  // The file keeps its attributes: only its content changes.
  if (!WriteHostFileAtomic(loc.host, edited)) return files_.Fail(ERROR_ACCESS_DENIED);
  return true;
}

}  // namespace qr5::platform::sim
