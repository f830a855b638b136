// The switches both programs take for unattended use: how quiet the run is,
// whether message boxes answer themselves, a log, and for the setup the
// install folder, the language and no shortcuts of the finish page.
#pragma once

#include <string>

namespace qr5::session {

enum class Program { kSetup, kUninstaller };

enum class Quietness {
  kPages,       // no switch: every page, as without a command line
  kSilent,      // no page waits for a person; the progress page is shown
  kVerySilent,  // no window at all
};

struct CommandLine {
  Quietness quietness = Quietness::kPages;
  bool suppress_boxes = false;  // /SUPPRESSMSGBOXES, honoured in the silent modes
  bool help = false;            // /? or /HELP
  bool dir_given = false;
  std::string dir;              // /DIR=, taken as it is
  bool lang_given = false;
  std::string lang;             // /LANG=, an extension or an English name
  bool no_icons = false;        // /NOICONS
  bool log = false;             // /LOG or /LOG=file
  std::string folder;           // the uninstaller: the folder word its copy is given
  std::string log_file;         // "" for the default name in the temporary folder
  // Why the command line cannot be taken (names the switch); "" when it can.
  std::string error;

  bool Silent() const { return quietness != Quietness::kPages; }
  bool BoxesAnswerThemselves() const { return suppress_boxes && Silent(); }
};

// The longest value a switch takes (MAX_PATH).
inline constexpr size_t kMaxSwitchValue = 260;

// Reads a whole command line as GetCommandLineA gives it: the program's
// path first, then switches, case-insensitive, each opened by "/" or "-".
// The uninstaller takes only /SILENT, /VERYSILENT, /SUPPRESSMSGBOXES, /LOG
// and the help switches. The first switch that cannot be taken sets error.
CommandLine ParseCommandLine(const std::string& line, Program program);

// The text of the help box: every switch of the program and the exit codes.
std::string HelpText(Program program);

}  // namespace qr5::session
