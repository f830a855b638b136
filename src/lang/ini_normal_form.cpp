#include "lang/ini_normal_form.h"

#include <cctype>

namespace qr5::lang {

namespace {

// The keywords are ASCII, and the normal form is the same at build time on
// the host and at removal time on any code page: letters a-z alone fold.
bool IsKeyword(const std::string& text, const char* keyword) {
  size_t i = 0;
  for (; i < text.size() && keyword[i] != '\0'; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != keyword[i]) return false;
  }
  return i == text.size() && keyword[i] == '\0';
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Calls line(text, in_setup) for each line, its line end taken off.
template <typename Fn>
void ForEachLine(const std::string& text, Fn line) {
  bool in_setup = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string content = text.substr(at, end - at);
    if (!content.empty() && content.back() == '\r') content.pop_back();
    const std::string trimmed = Trim(content);
    // A section line ends at its last "]"; a comment may follow.
    if (!trimmed.empty() && trimmed[0] == '[') {
      in_setup = IsKeyword(trimmed.substr(0, trimmed.rfind(']') + 1), "[SETUP]");
    }
    line(content, trimmed, in_setup);
    at = end + 1;
  }
}

}  // namespace

bool HasSetupSection(const std::string& text) {
  bool found = false;
  ForEachLine(text, [&found](const std::string&, const std::string& trimmed, bool in_setup) {
    found |= in_setup && !trimmed.empty() && trimmed[0] == '[';
  });
  return found;
}

std::string IniNormalForm(const std::string& text) {
  std::string out;
  ForEachLine(text, [&out](const std::string&, const std::string& trimmed, bool in_setup) {
    if (trimmed.empty()) return;
    const size_t eq = trimmed.find('=');
    if (in_setup && trimmed[0] != '[' && eq != std::string::npos &&
        IsKeyword(Trim(trimmed.substr(0, eq)), "LANGUAGEFILE")) {
      return;
    }
    // Wine saves each line trimmed and a key without blanks around "=";
    // Windows keeps the line as it was: both give the same form here.
    const size_t close = trimmed[0] == '[' ? trimmed.rfind(']') : std::string::npos;
    if (close != std::string::npos && close > 0) {
      out += trimmed.substr(0, close + 1) + "\n";  // what follows "]" is not saved
    } else if (eq != std::string::npos) {
      out += Trim(trimmed.substr(0, eq)) + "=" + Trim(trimmed.substr(eq + 1)) + "\n";
    } else {
      out += trimmed + "\n";
    }
  });
  return out;
}

}  // namespace qr5::lang
