#include "lang/language_codes.h"

namespace qr5::lang {

namespace {

struct Row {
  const char* word;
  const char* result;
};

constexpr Row kSystemNameRows[] = {
    {"English", kEnglishName}, {"Italian", kItalianName}, {"Spanish", kSpanishName},
    {"Finnish", kFinnishName}, {"Swedish", kSwedishName}, {"French", kFrenchName},
};

// "Italian" also finds the display name "Italiano".
constexpr Row kDisplayNameRows[] = {
    {"English", ".ENG"},     {"Italian", ".ITA"},     {kSpanishName, ".SPA"},
    {kFinnishName, ".FIN"},  {kSwedishName, ".SWE"},  {kFrenchName, ".FRA"},
};

template <size_t N>
std::string LastHit(const Row (&rows)[N], const std::string& text, const char* none) {
  std::string result = none;
  for (const Row& row : rows) {
    if (text.find(row.word) != std::string::npos) result = row.result;
  }
  return result;
}

}  // namespace

std::string LangConvertToQuorlin5(const std::string& system_language_name) {
  return LastHit(kSystemNameRows, system_language_name, kEnglishName);
}

std::string LangQR5ConvertToExtension(const std::string& display_name) {
  return LastHit(kDisplayNameRows, display_name, ".ENG");
}

}  // namespace qr5::lang
