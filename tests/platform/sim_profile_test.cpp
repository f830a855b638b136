// Profile files on the simulated machine: edits that keep every other byte,
// whatever the file's layout, the whole file saved as Wine saves it, and the
// reading rules on odd files.
#ifndef _WIN32

#include <gtest/gtest.h>

#include "platform/sim/sim_ini_text.h"
#include "sim_fixture.h"

using namespace qr5::platform::sim;

namespace {

TEST(IniText, ReplacesOnlyTheValueOfTheKeyLine) {
  const std::string text =
      "; Quorlin Velta settings\r\n"
      "[ Other ]\r\n"
      "x = 1\r\n"
      "\r\n"
      "[Setup]   \r\n"
      "   LanguageFile   =   QRVELTA_LANGUAGE.ITA   ; old\r\n"
      "Window=10,10\r\n";
  EXPECT_EQ(IniEdit(text, "setup", "languagefile", "QRVELTA_LANGUAGE.ENG"),
            "; Quorlin Velta settings\r\n"
            "[ Other ]\r\n"
            "x = 1\r\n"
            "\r\n"
            "[Setup]   \r\n"
            "   LanguageFile   =QRVELTA_LANGUAGE.ENG\r\n"
            "Window=10,10\r\n");
}

TEST(IniText, AddsKeysAfterTheLastLineOfTheSectionInTheFilesLineEnding) {
  const std::string text = "[Setup]\nA=1\n\n\n[Next]\nB=2\n";
  EXPECT_EQ(IniEdit(text, "Setup", "LanguageFile", "X"), "[Setup]\nA=1\nLanguageFile=X\n\n\n[Next]\nB=2\n");
  EXPECT_EQ(IniEdit("[Setup]\r\nA=1", "Setup", "B", "2"), "[Setup]\r\nA=1\r\nB=2\r\n");
  EXPECT_EQ(IniEdit("[Setup]\nA=1", "New", "B", "2"), "[Setup]\nA=1\n[New]\nB=2\n");
  EXPECT_EQ(IniEdit("", "Setup", "B", "2"), "[Setup]\r\nB=2\r\n");
  // A key line without "=" gets one.
  EXPECT_EQ(IniEdit("[Setup]\r\nFlag\r\n", "Setup", "flag", "1"), "[Setup]\r\nFlag=1\r\n");
  // Leading blanks of the value are dropped, trailing ones kept.
  EXPECT_EQ(IniEdit("[S]\r\nK=v\r\n", "S", "K", "  new  "), "[S]\r\nK=new  \r\n");
}

TEST(IniText, ReadsLikeTheSystemDoes) {
  const std::string text =
      "\xEF\xBB\xBF[Setup]\n"
      "Language=English\n"
      "NoValue\n"
      "[ Spaced ]\n"
      "k=inside\n"
      "[Setup]\n"
      "Second=later\n"
      "[Tabs]\n"
      "\tKey\t=\t\"quoted\"\t\r\n";
  EXPECT_EQ(IniFindValue(text, "Setup", "Language"), "English");
  // A line without "=" is no value; only the first section of a name counts.
  EXPECT_EQ(IniFindValue(text, "Setup", "NoValue"), std::nullopt);
  EXPECT_EQ(IniFindValue(text, "Setup", "Second"), std::nullopt);
  // Blanks inside the brackets belong to the name.
  EXPECT_EQ(IniFindValue(text, "Spaced", "k"), std::nullopt);
  EXPECT_EQ(IniFindValue(text, " Spaced ", "k"), std::nullopt);
  EXPECT_EQ(IniFindValue(text, "Tabs", "Key"), "\"quoted\"");
  EXPECT_EQ(IniProfileValue("\"quoted\""), "quoted");
  EXPECT_EQ(IniProfileValue("\"'mixed\""), "'mixed");
  EXPECT_EQ(IniProfileValue("\""), "\"");
}

class SimProfileFiles : public simtest::SimMachineTest {};

// Wine saves the whole file anew, trimmed and without its blank lines
// (Windows would keep them: code that compares INIs must hold for both);
// a value written as it stands leaves the file alone.
TEST_F(SimProfileFiles, WritingSavesTheFileAsWineDoesUnlessTheValueStands) {
  const std::string original =
      "[Setup]\n"
      "  Language = English  \n"
      "\n"
      "\t; tabbed comment\n"
      "Odd line without equals\n"
      "[Installer]  ; buttons\n"
      "Nobutton=No";
  ASSERT_TRUE(Write("C:\\SAFEKEEP.INI", original));
  ASSERT_TRUE(profile().WriteString("C:\\SAFEKEEP.INI", "Setup", "language", "English"));
  EXPECT_EQ(simtest::HostRead(sim_->HostPath("C:\\SAFEKEEP.INI")), original);
  ASSERT_TRUE(profile().WriteString("C:\\safekeep.ini", "SETUP", "LanguageFile", "SKLANGUAGE.ENG"));
  EXPECT_EQ(simtest::HostRead(sim_->HostPath("C:\\SAFEKEEP.INI")),
            "[Setup]\r\n"
            "Language=English\r\n"
            "; tabbed comment\r\n"
            "Odd line without equals\r\n"
            "LanguageFile=SKLANGUAGE.ENG\r\n"
            "[Installer]\r\n"
            "Nobutton=No\r\n");
  EXPECT_EQ(profile().GetString("C:\\SAFEKEEP.INI", "Setup", "Language", ""), "English");
}

TEST_F(SimProfileFiles, RefusesLineBreaksThatWouldAddLines) {
  ASSERT_TRUE(Write("C:\\QR5.INI", "[Setup]\r\n"));
  EXPECT_FALSE(profile().WriteString("C:\\QR5.INI", "Setup", "LanguageFile", "X\r\n[Evil]\r\nK=V"));
  EXPECT_FALSE(profile().WriteString("C:\\QR5.INI", "Setup", "A=B", "X"));
  EXPECT_EQ(simtest::HostRead(sim_->HostPath("C:\\QR5.INI")), "[Setup]\r\n");
}

TEST_F(SimProfileFiles, KeepsTheFilesAttributesAndNamesWithoutFolderMeanTheWindowsFolder) {
  ASSERT_TRUE(Write("C:\\QR5.INI", "[Setup]\r\n"));
  ASSERT_TRUE(files().SetFileAttributes("C:\\QR5.INI", qr5::platform::FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(profile().WriteString("C:\\QR5.INI", "Setup", "K", "V"));
  EXPECT_EQ(files().GetFileAttributes("C:\\QR5.INI"), qr5::platform::FILE_ATTRIBUTE_HIDDEN);

  ASSERT_TRUE(profile().WriteString("win.ini", "Quorlin", "Seen", "1"));
  EXPECT_EQ(simtest::HostRead(root_ + "/drives/C/WINDOWS/win.ini"), "[Quorlin]\r\nSeen=1\r\n");
  EXPECT_EQ(profile().GetString("WIN.INI", "quorlin", "seen", ""), "1");
  EXPECT_EQ(profile().GetString("", "Setup", "001", "Quorlin 5"), "Quorlin 5");
}

}  // namespace

#endif  // _WIN32
