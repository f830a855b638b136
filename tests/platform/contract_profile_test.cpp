// Profile (INI) files: what GetPrivateProfileStringA and
// WritePrivateProfileStringA do for the language files and the suite's INIs.
#include <gtest/gtest.h>

#include "contract_helpers.h"

using contract::ReadBytes;
using contract::WriteBytes;
using qr5::platform::Profile;

namespace {

Profile& Ini() { return *ContractMachine().profile; }

class ProfileRead : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ContractScratchDir() + "\\LANGUAGE.ENG";
    ASSERT_TRUE(WriteBytes(path_,
                           "[Setup]\r\n"
                           "Language=English\r\n"
                           "\r\n"
                           "[Installer]\r\n"
                           "Nobutton=No\r\n"
                           "  Spaced   =   padded value   \r\n"
                           "Quoted=\"  in quotes  \"\r\n"
                           "Single='single'\r\n"
                           "Half=\"open\r\n"
                           "Hex=0x1F\r\n"
                           "Empty=\r\n"
                           "; Comment=not a value\r\n"
                           "Long=" + std::string(3000, 'a') + "\r\n"));
  }
  std::string path_;
};

TEST_F(ProfileRead, FindsSectionsAndKeysWithoutRegardToCase) {
  EXPECT_EQ(Ini().GetString(path_, "Installer", "NoButton", "default"), "No");
  EXPECT_EQ(Ini().GetString(path_, "INSTALLER", "nobutton", "default"), "No");
  EXPECT_EQ(Ini().GetString(path_, "setup", "LANGUAGE", "default"), "English");
}

TEST_F(ProfileRead, TrimsBlanksAndOnePairOfQuotes) {
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Spaced", ""), "padded value");
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Quoted", ""), "  in quotes  ");
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Single", ""), "single");
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Half", ""), "\"open");
}

TEST_F(ProfileRead, ReturnsNumbersAsWritten) {
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Hex", ""), "0x1F");
}

TEST_F(ProfileRead, CutsLongValuesTo2047Characters) {
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Long", ""), std::string(2047, 'a'));
}

TEST_F(ProfileRead, MissingKeysSectionsAndFilesGiveTheDefault) {
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Absent", "dflt"), "dflt");
  EXPECT_EQ(Ini().GetString(path_, "Uninstaller", "Caption", "dflt"), "dflt");
  EXPECT_EQ(Ini().GetString(path_ + ".missing", "Setup", "Language", "dflt"), "dflt");
  // An empty value is a value.
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Empty", "dflt"), "");
  // The system drops trailing blanks of the default.
  EXPECT_EQ(Ini().GetString(path_, "Installer", "Absent", "dflt   "), "dflt");
  // A key of one section is not found in another.
  EXPECT_EQ(Ini().GetString(path_, "Setup", "Nobutton", "dflt"), "dflt");
}

// The file is written in the form both Windows and Wine keep unchanged, so
// the comparison can be byte for byte: Wine rewrites the whole file and
// drops blank lines, where Windows changes only the line concerned.
const char kCanonical[] =
    "[Setup]\r\n"
    "Language=English\r\n"
    ";note\r\n"
    "[Installer]\r\n"
    "Nobutton=No\r\n";

TEST(ProfileWrite, ReplacesAKeyInPlace) {
  const std::string path = ContractScratchDir() + "\\QRVELTA.INI";
  ASSERT_TRUE(WriteBytes(path, kCanonical));
  ASSERT_TRUE(Ini().WriteString(path, "setup", "LANGUAGE", "Italiano"));
  EXPECT_EQ(ReadBytes(path),
            "[Setup]\r\nLanguage=Italiano\r\n;note\r\n[Installer]\r\nNobutton=No\r\n");
  EXPECT_EQ(Ini().GetString(path, "Setup", "Language", ""), "Italiano");
}

TEST(ProfileWrite, AddsAKeyAtTheEndOfItsSection) {
  const std::string path = ContractScratchDir() + "\\QRVELTA.INI";
  ASSERT_TRUE(WriteBytes(path, kCanonical));
  ASSERT_TRUE(Ini().WriteString(path, "Setup", "LanguageFile", "QRVELTA_LANGUAGE.ENG"));
  EXPECT_EQ(ReadBytes(path),
            "[Setup]\r\nLanguage=English\r\n;note\r\nLanguageFile=QRVELTA_LANGUAGE.ENG\r\n"
            "[Installer]\r\nNobutton=No\r\n");
}

TEST(ProfileWrite, AddsAMissingSectionAtTheEnd) {
  const std::string path = ContractScratchDir() + "\\QRVELTA.INI";
  ASSERT_TRUE(WriteBytes(path, kCanonical));
  ASSERT_TRUE(Ini().WriteString(path, "Extra", "Key", "1"));
  EXPECT_EQ(ReadBytes(path), std::string(kCanonical) + "[Extra]\r\nKey=1\r\n");
  EXPECT_EQ(Ini().GetString(path, "Extra", "Key", ""), "1");
}

TEST(ProfileWrite, CreatesAMissingFile) {
  const std::string path = ContractScratchDir() + "\\NEW.INI";
  ASSERT_TRUE(Ini().WriteString(path, "Setup", "LanguageFile", "SKLANGUAGE.ENG"));
  EXPECT_EQ(Ini().GetString(path, "Setup", "LanguageFile", ""), "SKLANGUAGE.ENG");
  EXPECT_NE(ReadBytes(path).find("LanguageFile=SKLANGUAGE.ENG"), std::string::npos);
}

TEST(ProfileWrite, FailsOnAReadOnlyFileAndLeavesItAlone) {
  if (!contract::ReadOnlyStopsWriters()) GTEST_SKIP() << contract::kReadOnlyIgnored;
  const std::string path = ContractScratchDir() + "\\HERALDO.INI";
  ASSERT_TRUE(WriteBytes(path, kCanonical));
  ASSERT_TRUE(contract::Files().SetFileAttributes(path, qr5::platform::FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(Ini().WriteString(path, "Setup", "LanguageFile", "HERALDO_LANGUAGE.ENG"));
  EXPECT_EQ(ReadBytes(path), kCanonical);
  ASSERT_TRUE(contract::Files().SetFileAttributes(path, qr5::platform::FILE_ATTRIBUTE_NORMAL));
}

TEST(ProfileWrite, FailsInAMissingFolder) {
  const std::string path = ContractScratchDir() + "\\No Such Folder\\QR5.INI";
  EXPECT_FALSE(Ini().WriteString(path, "Setup", "LanguageFile", "QR5_LANGUAGE.ENG"));
  EXPECT_FALSE(contract::Exists(path));
}

}  // namespace
