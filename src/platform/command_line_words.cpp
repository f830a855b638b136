#include "platform/command_line_words.h"

namespace qr5::platform {

CommandLineWords SplitCommandLine(const std::string& line) {
  CommandLineWords out;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word) out.words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) out.words.push_back(word);
  out.open_quote = quoted;
  return out;
}

std::string QuoteWord(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t") == std::string::npos) return word;
  return "\"" + word + "\"";
}

}  // namespace qr5::platform
