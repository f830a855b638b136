#include "platform/sim/sim_ini_text.h"

#include <vector>

#include "platform/sim/sim_codepage.h"

namespace qr5::platform::sim {

namespace {

constexpr size_t kProfileBuffer = 2048;

bool IsSpace(char c) {
  // CR and ^Z (DOS end of file) count as blanks as well.
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

struct Line {
  size_t begin = 0;  // first byte of the line
  size_t end = 0;    // end of its content (before the line break)
  size_t next = 0;   // first byte of the next line
  enum Kind { kBlank, kSection, kKey } kind = kBlank;
  std::string name;         // section or key name
  bool has_value = false;   // key line with "="
  size_t value_begin = 0;   // first byte after "="
  size_t name_end = 0;      // end of the key name in the text
};

std::vector<Line> ParseLines(const std::string& text) {
  std::vector<Line> lines;
  size_t pos = 0;
  // A UTF-8 mark opens the file in front of the first line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    size_t nl = text.find('\n', pos);
    line.next = nl == std::string::npos ? text.size() : nl + 1;
    line.end = nl == std::string::npos ? text.size() : nl;
    if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
    pos = line.next;

    size_t s = line.begin;
    size_t e = line.end;
    while (s < e && IsSpace(text[s])) ++s;
    while (e > s && IsSpace(text[e - 1])) --e;
    if (s < e) {
      if (text[s] == '[') {
        const size_t close = text.rfind(']', e - 1);
        if (close != std::string::npos && close > s) {
          line.kind = Line::kSection;
          line.name = text.substr(s + 1, close - s - 1);
          lines.push_back(line);
          continue;
        }
      }
      line.kind = Line::kKey;
      const size_t eq = text.find('=', s);
      if (eq != std::string::npos && eq < e) {
        size_t name_end = eq;
        while (name_end > s && IsSpace(text[name_end - 1])) --name_end;
        line.name = text.substr(s, name_end - s);
        line.name_end = name_end;
        line.has_value = true;
        line.value_begin = eq + 1;
      } else {
        line.name = text.substr(s, e - s);
        line.name_end = e;
      }
    }
    lines.push_back(line);
  }
  return lines;
}

// Index range [first, last) of the lines of the first section named so.
bool FindSection(const std::vector<Line>& lines, const std::string& section, size_t* first,
                 size_t* last) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::kSection || !AnsiEqualNoCase(lines[i].name, section)) continue;
    size_t j = i + 1;
    while (j < lines.size() && lines[j].kind != Line::kSection) ++j;
    *first = i;
    *last = j;
    return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> IniFindValue(const std::string& text, const std::string& section,
                                        const std::string& key) {
  const std::string want_section = Trim(section);
  const std::string want_key = Trim(key);
  if (want_section.empty() || want_key.empty()) return std::nullopt;
  const std::vector<Line> lines = ParseLines(text);
  size_t first = 0;
  size_t last = 0;
  if (!FindSection(lines, want_section, &first, &last)) return std::nullopt;
  for (size_t i = first + 1; i < last; ++i) {
    const Line& line = lines[i];
    if (line.kind != Line::kKey || !AnsiEqualNoCase(line.name, want_key)) continue;
    if (!line.has_value) return std::nullopt;
    return Trim(text.substr(line.value_begin, line.end - line.value_begin));
  }
  return std::nullopt;
}

std::string IniRewrite(const std::string& text) {
  const bool marked = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  std::string out = marked ? "\xEF\xBB\xBF" : "";
  for (const Line& line : ParseLines(text)) {
    switch (line.kind) {
      case Line::kBlank:
        break;
      case Line::kSection:
        out += "[" + line.name + "]\r\n";
        break;
      case Line::kKey:
        out += line.name;
        if (line.has_value) {
          out += "=" + Trim(text.substr(line.value_begin, line.end - line.value_begin));
        }
        out += "\r\n";
        break;
    }
  }
  return out;
}

std::string IniProfileValue(const std::string& raw_value) {
  std::string value = raw_value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kProfileBuffer - 1) value.resize(kProfileBuffer - 1);
  return value;
}

std::string IniEdit(const std::string& text, const std::string& section, const std::string& key,
                    const std::string& value) {
  const std::string want_section = Trim(section);
  const std::string want_key = Trim(key);
  size_t value_start = 0;
  while (value_start < value.size() && IsSpace(value[value_start])) ++value_start;
  const std::string new_value = value.substr(value_start);

  const size_t first_nl = text.find('\n');
  const std::string eol =
      first_nl == std::string::npos || (first_nl > 0 && text[first_nl - 1] == '\r') ? "\r\n" : "\n";

  const std::vector<Line> lines = ParseLines(text);
  size_t first = 0;
  size_t last = 0;
  if (FindSection(lines, want_section, &first, &last)) {
    for (size_t i = first + 1; i < last; ++i) {
      const Line& line = lines[i];
      if (line.kind != Line::kKey || !AnsiEqualNoCase(line.name, want_key)) continue;
      if (line.has_value) {
        return text.substr(0, line.value_begin) + new_value + text.substr(line.end);
      }
      return text.substr(0, line.name_end) + "=" + new_value + text.substr(line.end);
    }
    // A new key goes after the last non-blank line of the section.
    size_t after = first;
    for (size_t i = first + 1; i < last; ++i) {
      if (lines[i].kind != Line::kBlank) after = i;
    }
    const Line& anchor = lines[after];
    std::string result = text.substr(0, anchor.next);
    // The file may end without a line break (or with a lone CR).
    if (anchor.next == text.size() && (text.empty() || text.back() != '\n')) result += eol;
    result += want_key + "=" + new_value + eol;
    result += text.substr(anchor.next);
    return result;
  }
  // A new section follows the last line directly, without a blank line
  // before it, as Windows appends it.
  std::string result = text;
  if (!result.empty() && result.back() != '\n') result += eol;
  result += "[" + want_section + "]" + eol + want_key + "=" + new_value + eol;
  return result;
}

}  // namespace qr5::platform::sim
