// libFuzzer target: MatchPattern against a plain reference matcher written
// from the pattern rules (a table over pattern and path positions). The
// first input byte splits the rest into pattern and path. Any disagreement
// aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/match_pattern.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// One element of a pattern: "*" (any run), or a set of allowed characters.
struct Element {
  bool any_run = false;
  bool allowed[256] = {};
};

// Parses the rules: "?" any one character, "<...>" a set with ranges "a-z"
// ("-" before ">" is itself a member), "!" or "^" first inverts; a set
// without ">" or without members spoils the whole pattern.
bool Parse(const std::string& pattern, std::vector<Element>& out) {
  size_t i = 0;
  while (i < pattern.size()) {
    Element e;
    const unsigned char c = static_cast<unsigned char>(pattern[i]);
    if (c == '*') {
      e.any_run = true;
      ++i;
    } else if (c == '?') {
      for (bool& a : e.allowed) a = true;
      ++i;
    } else if (c == '<') {
      size_t j = i + 1;
      bool invert = false;
      if (j < pattern.size() && (pattern[j] == '!' || pattern[j] == '^')) {
        invert = true;
        ++j;
      }
      size_t members = 0;
      for (;;) {
        if (j >= pattern.size()) return false;
        if (pattern[j] == '>') break;
        const unsigned char first = static_cast<unsigned char>(pattern[j]);
        if (j + 2 < pattern.size() && pattern[j + 1] == '-' && pattern[j + 2] != '>') {
          const unsigned char last = static_cast<unsigned char>(pattern[j + 2]);
          for (unsigned v = first; v <= last; ++v) e.allowed[v] = true;
          j += 3;
        } else {
          e.allowed[first] = true;
          j += 1;
        }
        ++members;
      }
      if (members == 0) return false;
      if (invert) {
        for (bool& a : e.allowed) a = !a;
      }
      i = j + 1;
    } else {
      e.allowed[c] = true;
      ++i;
    }
    out.push_back(e);
  }
  return true;
}

bool Reference(const std::string& raw_pattern, const std::string& raw_path) {
  if (raw_pattern == "*") return true;
  std::vector<Element> elements;
  if (!Parse(Lower(raw_pattern), elements)) return false;
  const std::string path = Lower(raw_path);
  // can[k][p]: elements k.. match path characters p..
  const size_t n = elements.size(), m = path.size();
  std::vector<std::vector<char>> can(n + 1, std::vector<char>(m + 1, 0));
  can[n][m] = 1;
  for (size_t k = n; k-- > 0;) {
    for (size_t p = m + 1; p-- > 0;) {
      if (elements[k].any_run) {
        can[k][p] = can[k + 1][p] || (p < m && can[k][p + 1]);
      } else {
        can[k][p] = p < m && elements[k].allowed[static_cast<unsigned char>(path[p])] && can[k + 1][p + 1];
      }
    }
  }
  return can[0][0] != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 512) return 0;
  const size_t split = std::min<size_t>(data[0], size - 1);
  const std::string pattern(reinterpret_cast<const char*>(data + 1), split);
  const std::string path(reinterpret_cast<const char*>(data + 1 + split), size - 1 - split);
  if (qr5::archive::MatchPattern(pattern, path) != Reference(pattern, path)) std::abort();
  return 0;
}
