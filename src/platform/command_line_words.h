// A Windows command line cut into its words as the C runtime cuts it for
// argv: blanks and tabs separate, double quotes group and are dropped.
#pragma once

#include <string>
#include <vector>

namespace qr5::platform {

struct CommandLineWords {
  std::vector<std::string> words;
  bool open_quote = false;  // the line ended inside quotes
};

CommandLineWords SplitCommandLine(const std::string& line);

// One word as a command line carries it: quoted when it holds a blank or a
// tab, or is empty.
std::string QuoteWord(const std::string& word);

}  // namespace qr5::platform
