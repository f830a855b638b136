#include "platform/sim/sim_codepage.h"

#include <cstdint>

namespace qr5::platform::sim {

namespace {

// Windows-1252 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t AnsiToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kAnsiHigh[c - 0x80];
  return c;
}

// -1 when the code page has no such character.
int UnicodeToAnsi(uint32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (int i = 0; i < 32; ++i) {
    if (kAnsiHigh[i] == u) return 0x80 + i;
  }
  return -1;
}

// Code page 437 upper half, already in Windows-1252: the exact character
// where 1252 has it, else a look-alike.
constexpr unsigned char kOemHighToAnsi[128] = {
    // 0x80: Ç ü é â ä à å ç ê ë è ï î ì Ä Å
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    // 0x90: É æ Æ ô ö ò û ù ÿ Ö Ü ¢ £ ¥ Pt ƒ
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 'P', 0x83,
    // 0xA0: á í ó ú ñ Ñ ª º ¿ ⌐ ¬ ½ ¼ ¡ « »
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAC, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    // 0xB0: shades, then box drawing
    '#', '#', '#', 0xA6, '+', '+', '+', '+', '+', '+', 0xA6, '+', '+', '+', '+', '+',
    // 0xC0
    '+', '+', '+', '+', '-', '+', '+', '+', '+', '+', '+', '+', '+', '-', '+', '+',
    // 0xD0
    '+', '+', '+', '+', '+', '+', '+', '+', '+', '+', '+', '#', '#', '#', '#', '#',
    // 0xE0: α ß Γ π Σ σ µ τ Φ Θ Ω δ ∞ φ ε ∩
    'a', 0xDF, 'G', 'p', 'S', 's', 0xB5, 't', 'F', 'T', 'O', 'd', '8', 'f', 'e', 'n',
    // 0xF0: ≡ ± ≥ ≤ ⌠ ⌡ ÷ ≈ ° ∙ · √ ⁿ ² ■ nbsp
    '=', 0xB1, '=', '=', '(', ')', 0xF7, '~', 0xB0, 0xB7, 0xB7, 'v', 'n', 0xB2, '#', 0xA0};

void AppendUtf8(uint32_t u, std::string* out) {
  if (u < 0x80) {
    out->push_back(static_cast<char>(u));
  } else if (u < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (u >> 6)));
    out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (u >> 12)));
    out->push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
  }
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) AppendUtf8(AnsiToUnicode(static_cast<unsigned char>(c)), &out);
  return out;
}

std::string Utf8ToAnsi(const std::string& utf8, bool* exact) {
  std::string out;
  bool all_exact = true;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = s[i];
    uint32_t u = 0;
    size_t len = 0;
    if (c < 0x80) {
      u = c;
      len = 1;
    } else if ((c & 0xE0) == 0xC0) {
      u = c & 0x1F;
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      u = c & 0x0F;
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      u = c & 0x07;
      len = 4;
    }
    bool valid = len > 0 && i + len <= n;
    for (size_t k = 1; valid && k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) valid = false;
      u = (u << 6) | (s[i + k] & 0x3F);
    }
    if (valid && len > 1 && u < (len == 2 ? 0x80u : len == 3 ? 0x800u : 0x10000u)) valid = false;
    if (!valid) {
      // Not UTF-8: a host name written in a single-byte code page.
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    const int a = UnicodeToAnsi(u);
    if (a < 0) {
      out.push_back('?');
      all_exact = false;
    } else {
      out.push_back(static_cast<char>(a));
    }
    i += len;
  }
  if (exact != nullptr) *exact = all_exact;
  return out;
}

char AnsiUpper(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 0x20);
  switch (c) {
    case 0x9A: return static_cast<char>(0x8A);  // š
    case 0x9C: return static_cast<char>(0x8C);  // œ
    case 0x9E: return static_cast<char>(0x8E);  // ž
    case 0xFF: return static_cast<char>(0x9F);  // ÿ
    default: return ch;
  }
}

std::string AnsiUpper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = AnsiUpper(c);
  return out;
}

bool AnsiEqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AnsiUpper(a[i]) != AnsiUpper(b[i])) return false;
  }
  return true;
}

std::string OemToAnsi(const std::string& oem) {
  std::string out = oem;
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80) c = static_cast<char>(kOemHighToAnsi[u - 0x80]);
  }
  return out;
}

std::u16string AnsiToUtf16(const std::string& ansi) {
  std::u16string out;
  out.reserve(ansi.size());
  for (char c : ansi) out.push_back(AnsiToUnicode(static_cast<unsigned char>(c)));
  return out;
}

bool KnownCodePage(int code_page) {
  return code_page == 1252 || code_page == 932 || code_page == 936 || code_page == 949 ||
         code_page == 950;
}

bool IsLeadByte(int code_page, char byte) {
  const unsigned char b = static_cast<unsigned char>(byte);
  switch (code_page) {
    case 932:
      return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950:
      return b >= 0x81 && b <= 0xFE;
    default:
      return false;
  }
}

std::string UpperCase(int code_page, const std::string& text) {
  if (!IsLeadByte(code_page, '\x81')) return AnsiUpper(text);
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    if (IsLeadByte(code_page, out[i])) {
      ++i;  // the trail byte belongs to the character
      continue;
    }
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  }
  return out;
}

}  // namespace qr5::platform::sim
