#include "session/command_line.h"

#include <vector>

#include "platform/command_line_words.h"

namespace qr5::session {

namespace {

enum class Switch { kSilent, kVerySilent, kSuppress, kDir, kLang, kNoIcons, kLog, kHelp };

struct SwitchRow {
  const char* name;  // upper case, without its "/"
  Switch which;
  bool setup_only;
  bool needs_value;  // "=value" required; /LOG takes one optionally
};

constexpr SwitchRow kSwitches[] = {
    {"SILENT", Switch::kSilent, false, false},
    {"VERYSILENT", Switch::kVerySilent, false, false},
    {"SUPPRESSMSGBOXES", Switch::kSuppress, false, false},
    {"DIR", Switch::kDir, true, true},
    {"LANG", Switch::kLang, true, true},
    {"NOICONS", Switch::kNoIcons, true, false},
    {"LOG", Switch::kLog, false, false},
    {"?", Switch::kHelp, false, false},
    {"HELP", Switch::kHelp, false, false},
};

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

const SwitchRow* Find(const std::string& name, Program program) {
  const std::string upper = Upper(name);
  for (const SwitchRow& row : kSwitches) {
    if (upper == row.name && (program == Program::kSetup || !row.setup_only)) return &row;
  }
  return nullptr;
}

// Applies one switch; false with cmd.error set when it cannot be taken.
bool Take(const std::string& word, Program program, CommandLine& cmd) {
  const bool is_switch = !word.empty() && (word[0] == '/' || word[0] == '-');
  // The installed uninstaller names the folder of its installation to its
  // copy in the temporary folder, as one word that is no switch.
  if (!is_switch && program == Program::kUninstaller && !word.empty() && cmd.folder.empty()) {
    cmd.folder = word;
    return true;
  }
  if (word.size() < 2 || !is_switch) {
    cmd.error = "Unknown command line switch: " + word;
    return false;
  }
  const size_t equals = word.find('=');
  const std::string name = word.substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
  const SwitchRow* row = Find(name, program);
  if (row == nullptr) {
    cmd.error = "Unknown command line switch: " + word;
    return false;
  }
  const std::string shown = "/" + Upper(name);
  const bool has_value = equals != std::string::npos;
  const std::string value = has_value ? word.substr(equals + 1) : "";
  const bool takes_value = row->needs_value || row->which == Switch::kLog;
  if (has_value && !takes_value) {
    cmd.error = "The switch " + shown + " takes no value: " + word;
    return false;
  }
  if ((row->needs_value && !has_value) || (has_value && value.empty())) {
    cmd.error = "The switch " + shown + " needs a value, as in " + shown +
                (row->which == Switch::kLang ? "=ENG" : "=\"X:\\folder\"") + ".";
    return false;
  }
  if (value.size() > kMaxSwitchValue) {
    cmd.error = "The value of " + shown + " is longer than 260 characters.";
    return false;
  }
  switch (row->which) {
    case Switch::kSilent:
      if (cmd.quietness == Quietness::kPages) cmd.quietness = Quietness::kSilent;
      break;
    case Switch::kVerySilent:
      cmd.quietness = Quietness::kVerySilent;
      break;
    case Switch::kSuppress:
      cmd.suppress_boxes = true;
      break;
    case Switch::kDir:
      cmd.dir_given = true;
      cmd.dir = value;
      break;
    case Switch::kLang:
      cmd.lang_given = true;
      cmd.lang = value;
      break;
    case Switch::kNoIcons:
      cmd.no_icons = true;
      break;
    case Switch::kLog:
      cmd.log = true;
      cmd.log_file = value;
      break;
    case Switch::kHelp:
      cmd.help = true;
      break;
  }
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::string& line, Program program) {
  CommandLine cmd;
  const platform::CommandLineWords split = platform::SplitCommandLine(line);
  if (split.open_quote) {
    cmd.error = "A quotation mark is left open on the command line: " + line;
    return cmd;
  }
  // The first word is the program itself.
  for (size_t i = 1; i < split.words.size(); ++i) {
    if (!Take(split.words[i], program, cmd)) return cmd;
  }
  return cmd;
}

std::string HelpText(Program program) {
  std::string text =
      "/SILENT\tno page waits for a person; only the progress is shown\n"
      "/VERYSILENT\tno window at all\n"
      "/SUPPRESSMSGBOXES\tin a silent run, a message box takes its default answer and goes to the log\n";
  if (program == Program::kSetup) {
    text +=
        "/DIR=\"X:\\folder\"\tthe install folder, taken as it is\n"
        "/LANG=ENG\tthe language (ENG, ITA, SPA, FIN, SWE, FRA or its English name)\n"
        "/NOICONS\tno desktop icon and no Startup entry\n";
  }
  text +=
      "/LOG, /LOG=\"file\"\ta line for every step and failure\n"
      "/?, /HELP\tthis list\n\n";
  text += program == Program::kSetup
              ? "Exit codes: 0 installed, 1 could not start, 2 cancelled before the installation, 3 fatal "
                "error before the installation, 4 installation not completed, 5 cancelled during the "
                "installation."
              : "Exit codes: 0 removed, 1 could not start, 2 cancelled, 4 something could not be removed.";
  return text;
}

}  // namespace qr5::session
