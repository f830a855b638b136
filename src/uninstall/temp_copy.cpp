#include "uninstall/temp_copy.h"

#include <vector>

#include "platform/command_line_words.h"
#include "platform/platform.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

constexpr int32_t kPlatformNT = 2;

void DeleteAtNextStart(const std::string& path) {
  platform::OsVersion version;
  if (!Sys().system->GetVersion(&version)) version = {};
  if (version.platform_id == kPlatformNT) {
    Sys().files->DeleteAtReboot(path);  // needs the rights to do so; not essential
    return;
  }
  // WININIT.INI is read before long file names are available.
  std::string short_path = Sys().files->GetShortPathName(path);
  if (short_path.empty()) short_path = path;
  const std::string windows = Sys().files->GetWindowsDirectory();
  if (!windows.empty()) Sys().profile->WriteString(windows + "\\WININIT.INI", "rename", "NUL", short_path);
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

bool HandOverToTempCopy(const std::string& switches, int* exit_code) {
  const std::string copy = TempCopyPath();
  if (copy.empty()) return false;
  if (!Sys().files->CopyFile(Sys().files->GetModuleFileName(), copy, /*fail_if_exists=*/false)) {
    return false;
  }
  DeleteAtNextStart(copy);
  const std::string line = "\"" + copy + "\"" + (switches.empty() ? "" : " " + switches);
  return Sys().processes->StartProcessAndWait(line, exit_code);
}

std::string OwnSwitches() {
  const std::vector<std::string> words = platform::SplitCommandLine(Sys().processes->GetCommandLine()).words;
  std::string switches;
  for (size_t i = 1; i < words.size(); ++i) switches += (i > 1 ? " " : "") + platform::QuoteWord(words[i]);
  return switches;
}

}  // namespace qr5::uninstall
