#include "archive/match_pattern.h"

#include <bitset>
#include <vector>

#include "archive/path_utils.h"

namespace qr5::archive {

namespace {

// One pattern element: a run of any characters, or one character out of a
// set (a literal and "?" are sets too).
struct Token {
  bool star = false;
  std::bitset<256> set;
};

bool Tokenize(const std::string& pattern, std::vector<Token>& tokens) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    Token token;
    unsigned char c = static_cast<unsigned char>(pattern[i]);
    if (c == '*') {
      if (!tokens.empty() && tokens.back().star) continue;  // "**" is "*"
      token.star = true;
    } else if (c == '?') {
      token.set.set();
    } else if (c == '<') {
      size_t j = i + 1;
      bool invert = j < pattern.size() && (pattern[j] == '!' || pattern[j] == '^');
      if (invert) ++j;
      bool any = false;
      while (j < pattern.size() && pattern[j] != '>') {
        unsigned char low = static_cast<unsigned char>(pattern[j]);
        unsigned char high = low;
        if (j + 2 < pattern.size() && pattern[j + 1] == '-' && pattern[j + 2] != '>') {
          high = static_cast<unsigned char>(pattern[j + 2]);
          j += 3;
        } else {
          j += 1;
        }
        for (unsigned v = low; v <= high; ++v) token.set.set(v);
        any = true;
      }
      if (j >= pattern.size() || !any) return false;  // no ">" or an empty set
      if (invert) token.set.flip();
      i = j;
    } else {
      token.set.set(c);
    }
    tokens.push_back(token);
  }
  return true;
}

}  // namespace

bool MatchPattern(const std::string& pattern, const std::string& path) {
  if (pattern == "*") return true;
  std::vector<Token> tokens;
  if (!Tokenize(LowerAscii(pattern), tokens)) return false;
  const std::string text = LowerAscii(path);

  // Every non-star token takes exactly one character, so backtracking to
  // the latest star finds a match whenever one exists.
  size_t t = 0, p = 0;
  size_t star_token = SIZE_MAX, star_text = 0;
  while (p < text.size()) {
    if (t < tokens.size() && tokens[t].star) {
      star_token = t++;
      star_text = p;
    } else if (t < tokens.size() && tokens[t].set.test(static_cast<unsigned char>(text[p]))) {
      ++t;
      ++p;
    } else if (star_token != SIZE_MAX) {
      t = star_token + 1;
      p = ++star_text;
    } else {
      return false;
    }
  }
  while (t < tokens.size() && tokens[t].star) ++t;
  return t == tokens.size();
}

}  // namespace qr5::archive
