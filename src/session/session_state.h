// The one process-wide record of what more than one page or action needs.
// Fields are plain ANSI texts that pages and actions read and assign directly.
#pragma once

#include <map>
#include <string>

#include "session/command_line.h"
#include "session/install_shortfall.h"
#include "session/run_outcome.h"

namespace qr5::session {

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
  std::map<std::string, std::string> SuiteTexts;  // [Setup] "001".."019"
  InstallShortfall Shortfall;
  CommandLine Command;  // the switches of this run
  RunOutcome Outcome;   // what the exit code says
};

// The process's session state.
SessionState& Session();

}  // namespace qr5::session
