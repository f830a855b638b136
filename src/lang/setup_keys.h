// The [Setup] section of a language file: every key the setup reads there
// and the text it falls back on when a file lacks the key. The suite texts
// "001" to "019" are kept in the session; the page keys "020" to "023"
// belong to the language page.
#pragma once

#include <array>

namespace qr5::lang {

inline constexpr const char* kSetupSection = "Setup";
inline constexpr const char* kInstallerSection = "Installer";

// The display name of a language; a file without it is not offered.
inline constexpr const char* kLanguageKey = "Language";

struct SetupText {
  const char* key;
  const char* default_text;
};

// Icon captions, the manuals folder name and the manual captions of the
// nine suite programs, in key order.
inline constexpr std::array<SetupText, 19> kSuiteTexts{{
    {"001", "Quorlin 5"},
    {"002", "Quorlin 5 Velta"},
    {"003", "Dornax Converter"},
    {"004", "Tovin Wizard"},
    {"005", "Printer Feld"},
    {"006", "Print Medras"},
    {"007", "Sundries"},
    {"008", "Safekeep/Restore"},
    {"009", "Heraldo"},
    {"010", "Manuals"},
    {"011", "Quorlin 5 manual"},
    {"012", "Quorlin 5 Velta manual"},
    {"013", "Dornax Converter manual"},
    {"014", "Tovin Wizard manual"},
    {"015", "Printer Feld manual"},
    {"016", "Print Medras manual"},
    {"017", "Sundries manual"},
    {"018", "Safekeep/Restore manual"},
    {"019", "Heraldo manual"},
}};

// The suite texts that more than the program group needs: the desktop
// icon's caption, the Startup entry's and the manuals' folder name.
inline constexpr const char* kDesktopCaptionKey = "001";  // Quorlin 5
inline constexpr const char* kStartupCaptionKey = "009";  // Heraldo
inline constexpr const char* kManualsFolderKey = "010";

// The language page's own texts; a missing key leaves the text empty.
inline constexpr const char* kPageCaptionKey = "020";
inline constexpr const char* kPagePromptKey = "021";
inline constexpr const char* kPageOkKey = "022";
inline constexpr const char* kPageCancelKey = "023";

}  // namespace qr5::lang
