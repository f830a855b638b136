// The one process-wide record of what more than one page or action needs.
// Fields are plain ANSI texts that pages and actions read and assign directly.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qr5::app {

// What did not work during the installation, gathered by the install
// actions and told to the user once at their end.
struct InstallShortfall {
  int files_not_installed = 0;
  std::string first_file;             // full path of the first of them
  std::vector<std::string> failures;  // keys or files that could not be written, each once
  bool disk_full = false;
  bool setup_damaged = false;         // the setup file could not be read to its end
  bool Any() const {
    return files_not_installed > 0 || !failures.empty() || disk_full || setup_damaged;
  }
};

struct SessionState {
  // Filled at start-up.
  std::string SetupDir;       // folder of the setup executable, ends in "\"
  std::string TempDir;        // the run's own temporary folder, ends in "\"
  // Assigned together, only when the language page is confirmed.
  std::string LanguageName;
  std::string LanguageFilePath;  // TempDir + "LANGUAGE" + LanguageExt
  std::string LanguageExt;       // ".ENG", ".ITA", ... with its dot
  std::string ProductFolder = "\\QR5";
  std::string InstallDir = "C:\\QR5";  // no trailing backslash when built here
  std::string PreviousLanguage;
  std::string PreviousInstallPath;
  // Kept beside the registry and program-group code.
  std::string RecordedInstallDir;
  std::map<std::string, std::string> SuiteTexts;  // [Setup] "001".."019"
  InstallShortfall Shortfall;
};

// The process's session state.
SessionState& Session();

}  // namespace qr5::app
