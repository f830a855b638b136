// The two fixed mappings of the language page: the operating system's
// language name to the display name a language file carries, and a display
// name to the extension of its language and license files.
#pragma once

#include <string>

namespace qr5::lang {

// Display names as the language files hold them, in the ANSI code page.
inline constexpr const char* kEnglishName = "English";
inline constexpr const char* kItalianName = "Italiano";
inline constexpr const char* kSpanishName = "Espa\xF1ol";
inline constexpr const char* kFinnishName = "Finnish";
inline constexpr const char* kSwedishName = "Svenska";
inline constexpr const char* kFrenchName = "Fran\xE7" "ais";

// System language name -> display name. Every row whose word occurs in the
// name (case-sensitive) sets the result, so the last such row wins;
// "English" when none does.
std::string LangConvertToQuorlin5(const std::string& system_language_name);

// Display name -> ".ENG", ".ITA", ".SPA", ".FIN", ".SWE" or ".FRA", by the
// same rule; ".ENG" when no row hits.
std::string LangQR5ConvertToExtension(const std::string& display_name);

}  // namespace qr5::lang
