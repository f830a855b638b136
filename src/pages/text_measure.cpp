#include "pages/text_measure.h"

#include <cstring>

#include "forms/application.h"

namespace qr5::pages {

namespace {

int CharWidth(char c) {
  if (c != '\0' && std::strchr("ijl!|'.,:;", c) != nullptr) return 2;
  if (c != '\0' && std::strchr(" frtI()[]/\\-`\"", c) != nullptr) return 3;
  if (c != '\0' && std::strchr("mwMW", c) != nullptr) return 8;
  if (c >= 'A' && c <= 'Z') return 6;
  if (c != '\0' && std::strchr("&#$%+<=>?@^_{}~*", c) != nullptr) return 6;
  return 5;
}

}  // namespace

int MeasureText(const std::string& text) {
  const int real = forms::App().Front().TextWidth(text);
  return real >= 0 ? real : TableTextWidth(text);
}

int TableTextWidth(const std::string& text) {
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        width += CharWidth('&');
        ++i;
      }
      continue;
    }
    width += CharWidth(text[i]);
  }
  return width;
}

}  // namespace qr5::pages
