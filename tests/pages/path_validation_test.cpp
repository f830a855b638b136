#include "pages/path_validation.h"

#include <gtest/gtest.h>

#include "pages_fixture.h"

namespace qr5::pages {
namespace {

using testing::PagesTest;

struct Case {
  const char* typed;
  bool valid;
  const char* field;  // the text put back into the field
};

class ValidationTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    AddDrive('D');
  }
};

TEST_F(ValidationTest, TheRulesInTheirOrder) {
  const Case cases[] = {
      {"c:\\apps", true, "c:\\apps"},  // lower-case drive letter, folder need not exist
      {"C:", false, "C:"},
      {"C:\\", true, "C:\\"},
      {"C:\\Apps\\\\Tools\\", true, "C:\\Apps\\Tools"},
      {"C:\\Apps\\\\\\\\Tools", true, "C:\\Apps\\Tools"},
      {"\\\\server\\share", false, "\\\\server\\share"},
      {"C:/Apps", false, "C:/Apps"},
      {"C:\\a*b", false, "C:\\a*b"},
      {"C:\\Apps\\x:y", false, "C:\\Apps\\x:y"},
      {"C:\\a\"b", false, "C:\\a\"b"},
      {"C:\\a?b", false, "C:\\a?b"},
      {"C:\\a<b>", false, "C:\\a<b>"},
      {"C:\\a|b", false, "C:\\a|b"},
      {"C:\\Apps \\Tools", false, "C:\\Apps \\Tools"},
      {"C:\\Apps\\Tools   ", true, "C:\\Apps\\Tools"},
      {"  \t C:\\Apps", true, "C:\\Apps"},
      {"C:\\Apps \\", true, "C:\\Apps"},  // the trailing backslash goes first, then the blank
      {"C:\\.\\Apps", false, "C:\\.\\Apps"},
      {"C:\\..\\Apps", false, "C:\\..\\Apps"},
      {"C:\\Apps\\..", false, "C:\\Apps\\.."},
      {"C:\\.Apps", true, "C:\\.Apps"},
      {"C:\\Apps.", true, "C:\\Apps."},
      {"C:\\a\x01" "b", false, "C:\\a\x01" "b"},
      {"1:\\Apps", false, "1:\\Apps"},
      {"CC\\Apps", false, "CC\\Apps"},
      {"C:Apps", false, "C:Apps"},
      {"D:\\New\\QR5", true, "D:\\New\\QR5"},
      {"Q:\\Apps", false, "Q:\\Apps"},  // no such drive
      {"\\Apps", false, "\\Apps"},
      {"", false, ""},
  };
  for (const Case& c : cases) {
    std::string field = c.typed;
    EXPECT_EQ(IsValidDirectory(field), c.valid) << '"' << c.typed << '"';
    EXPECT_EQ(field, c.field) << '"' << c.typed << '"';
  }
}

TEST_F(ValidationTest, LengthIsTakenBeforeBackslashesCollapse) {
  // 240 characters proceed to the other rules and pass.
  std::string at_limit = "C:\\" + std::string(237, 'a');
  ASSERT_EQ(at_limit.size(), 240u);
  EXPECT_TRUE(IsValidDirectory(at_limit));

  std::string over = "C:\\" + std::string(238, 'a');
  ASSERT_EQ(over.size(), 241u);
  EXPECT_FALSE(IsValidDirectory(over));

  // Collapsing would make this one 231 characters: still refused.
  std::string doubled = "C:\\" + std::string(10, '\\') + std::string(228, 'a');
  ASSERT_EQ(doubled.size(), 241u);
  EXPECT_FALSE(IsValidDirectory(doubled));
  EXPECT_EQ(doubled.size(), 241u) << "refused before normalising";

  // Blanks around it are trimmed before the length is taken.
  std::string padded = "   " + at_limit + "   ";
  EXPECT_TRUE(IsValidDirectory(padded));
  EXPECT_EQ(padded, at_limit);
}

TEST_F(ValidationTest, ADriveThatIsNotAFolderOrAbsentFails) {
  std::string missing = "E:\\Apps";
  EXPECT_FALSE(IsValidDirectory(missing));
  EXPECT_FALSE(DirExists("E:\\"));
  EXPECT_EQ(InternalGetFileAttr("E:\\"), -1);
  EXPECT_TRUE(DirExists("C:\\"));
  EXPECT_TRUE(DirExists("D:\\"));
  WriteFile("C:\\plain.txt", "x");
  EXPECT_FALSE(DirExists("C:\\plain.txt"));
  EXPECT_NE(InternalGetFileAttr("C:\\plain.txt"), -1);
}

TEST_F(ValidationTest, ADriveWithoutADiskFailsQuietlyAndTheErrorModeIsRestored) {
  sim_->SetDriveNotReady('A');
  Files().SetErrorMode(0);
  std::string floppy = "A:\\Apps";
  EXPECT_FALSE(IsValidDirectory(floppy));
  EXPECT_EQ(InternalGetFileAttr("A:\\"), -1);
  EXPECT_EQ(Files().SetErrorMode(0), 0u) << "the caller's error mode is back";
  EXPECT_TRUE(fe_.boxes.empty());
}

TEST_F(ValidationTest, TheComponentHelpers) {
  EXPECT_TRUE(ContainsControlCharacters(std::string("C:\\a\x1f", 5)));
  EXPECT_TRUE(ContainsControlCharacters(std::string("C:\\a\0b", 6)));
  EXPECT_FALSE(ContainsControlCharacters("C:\\a b\x7f"));

  EXPECT_TRUE(PathComponentsContainTrailingSpaces("C:\\Apps \\x"));
  EXPECT_TRUE(PathComponentsContainTrailingSpaces("C:\\Apps "));
  EXPECT_FALSE(PathComponentsContainTrailingSpaces("C:\\My Apps\\ x"));

  EXPECT_TRUE(PathComponentsContainInvalidDots("C:\\."));
  EXPECT_TRUE(PathComponentsContainInvalidDots("C:\\ .. \\x"));
  EXPECT_TRUE(PathComponentsContainInvalidDots("C:\\...\\x"));
  EXPECT_FALSE(PathComponentsContainInvalidDots("C:\\.Apps\\Apps.\\a.b"));
  EXPECT_FALSE(PathComponentsContainInvalidDots("C:\\. x"));
  EXPECT_FALSE(PathComponentsContainInvalidDots("C:\\"));
}

// On a Japanese machine (code page 932) a lead byte and its trail byte are
// one character: the trail byte of "\x83\x7C" (katakana po) is no "|".
TEST_F(ValidationTest, DoubleByteCharactersAreSteppedOverWhole) {
  std::string po = "C:\\\x83\x7C";
  EXPECT_FALSE(IsValidDirectory(po)) << "on code page 1252 the byte 0x7C is a bar";
  ASSERT_TRUE(sim_->SetCodePage(932));
  po = "C:\\\x83\x7C";
  EXPECT_TRUE(IsValidDirectory(po));
  std::string bar = "C:\\\x83\x7C|";
  EXPECT_FALSE(IsValidDirectory(bar));
  std::string spaced = "C:\\\x83\x40 \\x";  // a space before a real backslash
  EXPECT_FALSE(IsValidDirectory(spaced));
  EXPECT_TRUE(PathComponentsContainTrailingSpaces("C:\\\x83\x40 "));
  EXPECT_EQ(platform::Sys().system->UpperCase("a\x83\x61"), "A\x83\x61") << "trail byte kept";
}

}  // namespace
}  // namespace qr5::pages
