#include "uninstall/temp_copy.h"

#include <vector>

#include "platform/command_line_words.h"
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

// A switch opens with "/" or "-"; any other word is the folder that the
// installed uninstaller hands to its copy.
bool IsSwitch(const std::string& word) { return !word.empty() && (word[0] == '/' || word[0] == '-'); }

std::string StartedFrom() {
  if (!RunsFromTempFolder()) return FolderOf(Sys().files->GetModuleFileName());
  const std::vector<std::string> words = platform::SplitCommandLine(Sys().processes->GetCommandLine()).words;
  for (size_t i = 1; i < words.size(); ++i) {
    if (!IsSwitch(words[i])) return words[i];
  }
  return "";
}

bool HandOverToTempCopy(const std::string& dir, const std::string& switches, int* exit_code) {
  const std::string copy = TempCopyPath();
  if (copy.empty()) return false;
  if (!Sys().files->CopyFile(Sys().files->GetModuleFileName(), copy, /*fail_if_exists=*/false)) {
    return false;
  }
  DeleteAtNextStart(copy);
  std::string line = "\"" + copy + "\" " + platform::QuoteWord(dir);
  if (!switches.empty()) line += " " + switches;
  return Sys().processes->StartProcessAndWait(line, exit_code);
}

std::string OwnSwitches() {
  const std::vector<std::string> words = platform::SplitCommandLine(Sys().processes->GetCommandLine()).words;
  std::string switches;
  for (size_t i = 1; i < words.size(); ++i) {
    if (!IsSwitch(words[i])) continue;  // the folder: the copy gets its own
    if (!switches.empty()) switches += " ";
    switches += platform::QuoteWord(words[i]);
  }
  return switches;
}

}  // namespace qr5::uninstall
