// The two mapping tables of the language page: system language name to
// display name, display name to file extension.
#include <gtest/gtest.h>

#include "lang/language_codes.h"
#include "lang/strip_trailing_backslash.h"
#include "lang_machine.h"

namespace qr5::lang {
namespace {

TEST(LangConvertToQuorlin5, MapsWindowsLanguageNames) {
  EXPECT_EQ(LangConvertToQuorlin5("English (United States)"), "English");
  EXPECT_EQ(LangConvertToQuorlin5("Italian (Standard)"), "Italiano");
  EXPECT_EQ(LangConvertToQuorlin5("Spanish (Modern Sort)"), "Espa\xF1ol");
  EXPECT_EQ(LangConvertToQuorlin5("Finnish"), "Finnish");
  EXPECT_EQ(LangConvertToQuorlin5("Swedish (Finland)"), "Svenska");
  EXPECT_EQ(LangConvertToQuorlin5("French (Canadian)"), "Fran\xE7" "ais");
}

TEST(LangConvertToQuorlin5, UnknownNamesGiveEnglish) {
  EXPECT_EQ(LangConvertToQuorlin5("German (Standard)"), "English");
  EXPECT_EQ(LangConvertToQuorlin5(""), "English");
  // The words are looked for case-sensitively.
  EXPECT_EQ(LangConvertToQuorlin5("italian"), "English");
  EXPECT_EQ(LangConvertToQuorlin5("FRENCH"), "English");
}

TEST(LangConvertToQuorlin5, TheLaterRowWins) {
  // Rows 6 and 2: French comes later in the table than Italian.
  EXPECT_EQ(LangConvertToQuorlin5("French spoken by Italian speakers"), "Fran\xE7" "ais");
  EXPECT_EQ(LangConvertToQuorlin5("Italian spoken by French speakers"), "Fran\xE7" "ais");
  EXPECT_EQ(LangConvertToQuorlin5("Swedish (Finnish keyboard)"), "Svenska");
  EXPECT_EQ(LangConvertToQuorlin5("English/Spanish"), "Espa\xF1ol");
}

TEST(LangQR5ConvertToExtension, MapsDisplayNames) {
  EXPECT_EQ(LangQR5ConvertToExtension("English"), ".ENG");
  EXPECT_EQ(LangQR5ConvertToExtension("Italiano"), ".ITA");
  EXPECT_EQ(LangQR5ConvertToExtension("Espa\xF1ol"), ".SPA");
  EXPECT_EQ(LangQR5ConvertToExtension("Finnish"), ".FIN");
  EXPECT_EQ(LangQR5ConvertToExtension("Svenska"), ".SWE");
  EXPECT_EQ(LangQR5ConvertToExtension("Fran\xE7" "ais"), ".FRA");
}

TEST(LangQR5ConvertToExtension, AnythingElseGivesEnglish) {
  EXPECT_EQ(LangQR5ConvertToExtension(""), ".ENG");
  EXPECT_EQ(LangQR5ConvertToExtension("Deutsch"), ".ENG");
  EXPECT_EQ(LangQR5ConvertToExtension("english"), ".ENG");
  // The display names are ANSI text: a UTF-8 spelling is not the name.
  EXPECT_EQ(LangQR5ConvertToExtension("Espa\xC3\xB1ol"), ".ENG");
  EXPECT_EQ(LangQR5ConvertToExtension("Francais"), ".ENG");
}

TEST(LangQR5ConvertToExtension, TheLaterRowWins) {
  EXPECT_EQ(LangQR5ConvertToExtension("Svenska (English)"), ".SWE");
  EXPECT_EQ(LangQR5ConvertToExtension("Italiano / Fran\xE7" "ais"), ".FRA");
  EXPECT_EQ(LangQR5ConvertToExtension("Finnish Italian"), ".FIN");
}

TEST(LanguageCodes, EveryDisplayNameOfTableAHasItsOwnExtension) {
  const char* system_names[] = {"English", "Italian", "Spanish", "Finnish", "Swedish", "French"};
  const char* extensions[] = {".ENG", ".ITA", ".SPA", ".FIN", ".SWE", ".FRA"};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(LangQR5ConvertToExtension(LangConvertToQuorlin5(system_names[i])), extensions[i])
        << system_names[i];
  }
}

class StripTrailingBackslashTest : public test::LangMachine {};

TEST_F(StripTrailingBackslashTest, RemovesOneTrailingBackslashOnly) {
  EXPECT_EQ(StripTrailingBackslash("C:\\TEMP\\"), "C:\\TEMP");
  EXPECT_EQ(StripTrailingBackslash("C:\\QR5"), "C:\\QR5");
  EXPECT_EQ(StripTrailingBackslash("C:\\"), "C:");
  EXPECT_EQ(StripTrailingBackslash("D:\\Tools\\\\"), "D:\\Tools\\");
  EXPECT_EQ(StripTrailingBackslash("\\"), "");
  EXPECT_EQ(StripTrailingBackslash(""), "");
  // On code page 932 the 0x5C of 0x95 0x5C (U+8868) is a trail byte.
  EXPECT_EQ(StripTrailingBackslash("C:\\\x95\\"), "C:\\\x95") << "code page 1252: two characters";
  ASSERT_TRUE(sim_->SetCodePage(932));
  EXPECT_EQ(StripTrailingBackslash("C:\\\x95\\"), "C:\\\x95\\");
  EXPECT_EQ(StripTrailingBackslash("C:\\\x95\\\\"), "C:\\\x95\\");
}

}  // namespace
}  // namespace qr5::lang
