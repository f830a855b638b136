#include "pages/product_folder.h"

namespace qr5::pages {

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

size_t LastPosNoCase(const std::string& part, const std::string& text) {
  if (part.empty() || part.size() > text.size()) return 0;
  for (size_t start = text.size() - part.size() + 1; start-- > 0;) {
    bool same = true;
    for (size_t i = 0; i < part.size() && same; ++i) same = Upper(text[start + i]) == Upper(part[i]);
    if (same) return start + 1;
  }
  return 0;
}

std::string WithoutTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

}  // namespace qr5::pages
