#include "uninstall/temp_copy.h"

#include "platform/platform.h"
#include "uninstall/wininit_line.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

constexpr int32_t kPlatformNT = 2;

void DeleteAtNextStart(const std::string& path) {
  platform::OsVersion version;
  if (!Sys().system->GetVersion(&version)) version = {};
  // Not essential: a copy left in the temporary folder harms nothing.
  if (version.platform_id == kPlatformNT) {
    Sys().files->DeleteAtReboot(path);  // needs the rights to do so
    return;
  }
  // WININIT.INI is read before long file names are available.
  std::string short_path = Sys().files->GetShortPathName(path);
  if (short_path.empty()) short_path = path;
  const std::string windows = Sys().files->GetWindowsDirectory();
  if (!windows.empty()) AddWininitDeletion(windows, short_path);
}

// The folder of a path, without its trailing backslash but on a root.
std::string FolderOf(const std::string& path) {
  const size_t sep = path.find_last_of('\\');
  if (sep == std::string::npos) return "";
  return path.substr(0, sep == 2 ? 3 : sep);
}

}  // namespace

std::string TempCopyPath() {
  const std::string temp = Sys().files->GetTempPath();
  return temp.empty() ? "" : temp + "QR5_UNINSTALLER.EXE";
}

bool RunsFromTempFolder() {
  const std::string temp = Sys().files->GetTempPath();
  const std::string exe = Sys().files->GetModuleFileName();
  const size_t sep = exe.find_last_of('\\');
  if (temp.empty() || sep == std::string::npos) return false;
  return Sys().system->UpperCase(exe.substr(0, sep + 1)) == Sys().system->UpperCase(temp);
}

std::string StartedFrom() {
  if (!RunsFromTempFolder()) return FolderOf(Sys().files->GetModuleFileName());
  // "<program>" "<folder>": the program quoted or up to its first blank.
  const std::string line = Sys().processes->GetCommandLine();
  size_t at = 0;
  if (!line.empty() && line[0] == '"') {
    at = line.find('"', 1);
    at = at == std::string::npos ? line.size() : at + 1;
  } else {
    at = line.find(' ');
    if (at == std::string::npos) at = line.size();
  }
  std::string rest = line.substr(at);
  rest.erase(0, rest.find_first_not_of(' '));
  rest.erase(rest.find_last_not_of(' ') + 1);
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
  return rest;
}

bool HandOverToTempCopy(const std::string& dir) {
  const std::string copy = TempCopyPath();
  if (copy.empty()) return false;
  if (!Sys().files->CopyFile(Sys().files->GetModuleFileName(), copy, /*fail_if_exists=*/false)) {
    return false;
  }
  DeleteAtNextStart(copy);
  return Sys().processes->StartProcess("\"" + copy + "\" \"" + dir + "\"");
}

}  // namespace qr5::uninstall
