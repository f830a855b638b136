// The per-user record, the uninstall entry, the Program Files lookup and the
// engine settings, read back from the machine's REGEDIT4 file.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "session/session_state.h"
#include "install/engine_settings.h"
#include "install/install_fixture.h"
#include "install/registry_key.h"
#include "install/registry_records.h"

namespace qr5::install {
namespace {

using testing::InstallTest;

constexpr char kUserKey[] = "HKEY_CURRENT_USER\\Quorlin5";
constexpr char kEntryKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5";
constexpr char kEngineKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Database Engine";

std::string ErrorOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

class RegistryRecordsTest : public InstallTest {};

TEST_F(RegistryRecordsTest, FirstRunReadsNothingAndCreatesNoKey) {
  EXPECT_EQ(ReadRegLanguage(), "");
  EXPECT_EQ(ReadRegInstallPath(), "");
  EXPECT_FALSE(Registry().Exists(kUserKey));
}

TEST_F(RegistryRecordsTest, TheNextRunReadsWhatAnInstallationRecorded) {
  WriteRegLanguage("English");
  WriteRegInstallPath("D:\\Tools\\QR5");
  // Directly under the root, with its data zero-terminated.
  EXPECT_EQ(RegText(kUserKey, "Language"), "English");
  EXPECT_EQ(RegText(kUserKey, "Installation Path"), "D:\\Tools\\QR5");
  Reopen();
  EXPECT_EQ(ReadRegLanguage(), "English");
  EXPECT_EQ(ReadRegInstallPath(), "D:\\Tools\\QR5");
}

TEST_F(RegistryRecordsTest, ValuesAreReadUpToTheirFirstZeroAndExpandableOnesUnexpanded) {
  const std::string text = std::string("Fran\xE7" "ais") + '\0' + "rest";
  SetRegValue(platform::HKEY_CURRENT_USER, "Quorlin5", "Language", platform::REG_SZ,
              std::vector<uint8_t>(text.begin(), text.end()));
  EXPECT_EQ(ReadRegLanguage(), "Fran\xE7" "ais");
  const std::string expand = "%SystemDrive%\\QR5";
  std::vector<uint8_t> data(expand.begin(), expand.end());
  data.push_back(0);
  SetRegValue(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", platform::REG_EXPAND_SZ, data);
  EXPECT_EQ(ReadRegInstallPath(), "%SystemDrive%\\QR5");
  // An empty value reads as nothing recorded.
  SetRegValue(platform::HKEY_CURRENT_USER, "Quorlin5", "Language", platform::REG_SZ, {});
  EXPECT_EQ(ReadRegLanguage(), "");
}

TEST_F(RegistryRecordsTest, PreviousValuesThatAreNotTextCountAsEmptyWhileTheProgramFilesLookupKeepsItsError) {
  SetRegValue(platform::HKEY_CURRENT_USER, "Quorlin5", "Language", platform::REG_DWORD, {2, 0, 0, 0});
  EXPECT_EQ(ErrorOf([] { EXPECT_EQ(ReadRegLanguage(), ""); }), "(no error)");
  SetRegValue(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", platform::REG_BINARY, {'C', ':'});
  EXPECT_EQ(ErrorOf([] { EXPECT_EQ(ReadRegInstallPath(), ""); }), "(no error)");
  SetRegValue(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
              platform::REG_DWORD, {1, 0, 0, 0});
  EXPECT_EQ(ErrorOf([] { GetProgramFilesDir(); }), "Invalid data type for 'ProgramFilesDir'");
}

TEST_F(RegistryRecordsTest, AUserKeyThatCannotBeCreatedIsAnError) {
  sim_->DenyRegistryKey(platform::HKEY_CURRENT_USER, "Quorlin5");
  EXPECT_EQ(ErrorOf([] { WriteRegLanguage("English"); }), "Failed to create key Quorlin5");
  EXPECT_EQ(ReadRegLanguage(), "");
}

TEST_F(RegistryRecordsTest, UninstallEntryHoldsSixValuesInOrderAndIsRewrittenInPlace) {
  SetRegText(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5",
             "InstallDate", "20050221");
  WriteUninstallEntry("C:\\Program Files\\QR5\\QR5_UNINSTALLER.EXE", "C:\\Program Files\\QR5\\QUORLIN5.ICO",
                      {"C:\\Program Files\\QR5", 9000});
  WriteUninstallEntry("D:\\QR5\\QR5_UNINSTALLER.EXE", "D:\\QR5\\QUORLIN5.ICO", {"D:\\QR5", 1234});

  // The six values in their order, then what the Apps list shows.
  EXPECT_EQ(RegValueNames(kEntryKey),
            (std::vector<std::string>{"InstallDate", "Publisher", "URLInfoAbout", "HelpLink", "UninstallString",
                                      "DisplayIcon", "DisplayName", "DisplayVersion", "EstimatedSize",
                                      "InstallLocation", "NoModify", "NoRepair", "QuietUninstallString"}));
  EXPECT_EQ(RegText(kEntryKey, "DisplayVersion"), ProductVersion());
  EXPECT_EQ(RegDword(kEntryKey, "EstimatedSize"), 1234u);
  EXPECT_EQ(RegText(kEntryKey, "InstallLocation"), "D:\\QR5");
  EXPECT_EQ(RegDword(kEntryKey, "NoModify"), 1u);
  EXPECT_EQ(RegDword(kEntryKey, "NoRepair"), 1u);
  EXPECT_EQ(RegText(kEntryKey, "InstallDate"), "20050221");
  EXPECT_EQ(RegText(kEntryKey, "Publisher"), "Ostrel Software");
  EXPECT_EQ(RegText(kEntryKey, "URLInfoAbout"), "http://www.ostrelsoftware.com/");
  EXPECT_EQ(RegText(kEntryKey, "HelpLink"), RegText(kEntryKey, "URLInfoAbout"));
  // Without quotation marks or icon index.
  EXPECT_EQ(RegText(kEntryKey, "UninstallString"), "D:\\QR5\\QR5_UNINSTALLER.EXE");
  EXPECT_EQ(RegText(kEntryKey, "DisplayIcon"), "D:\\QR5\\QUORLIN5.ICO");
  EXPECT_EQ(RegText(kEntryKey, "DisplayName"), "Quorlin 5");
  EXPECT_EQ(RegText(kEntryKey, "QuietUninstallString"), "D:\\QR5\\QR5_UNINSTALLER.EXE /VERYSILENT");
}

TEST_F(RegistryRecordsTest, NoRightsOnTheUninstallKeyAreAnErrorWithTheirReason) {
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  try {
    WriteUninstallEntry("C:\\QR5\\QR5_UNINSTALLER.EXE", "C:\\QR5\\QUORLIN5.ICO", {"C:\\QR5", 1});
    ADD_FAILURE() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.error, platform::ERROR_ACCESS_DENIED);
  }
  EXPECT_FALSE(Registry().Exists(kEntryKey));
}

TEST_F(RegistryRecordsTest, ProgramFilesFolderAsTheSystemRecordsIt) {
  EXPECT_EQ(GetProgramFilesDir(), "C:\\Program Files");
  SetRegText(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
             "D:\\Programme\\");
  EXPECT_EQ(GetProgramFilesDir(), "D:\\Programme\\");
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  EXPECT_EQ(GetProgramFilesDir(), "");
}

// ---- engine settings ---------------------------------------------------------

TEST(EngineSettingsTableTest, FortySettingsInTableOrder) {
  const auto settings = EngineSettings("C:\\Program Files\\Borland\\Common Files\\BDE");
  ASSERT_EQ(settings.size(), 40u);
  EXPECT_EQ(settings[0].name, "DLLPATH");
  EXPECT_EQ(settings[0].data, "C:\\Program Files\\Borland\\Common Files\\BDE");
  EXPECT_EQ(settings[1].data, "C:\\Program Files\\Borland\\Common Files\\BDE\\IDAPI32.CFG");
  EXPECT_EQ(settings[5].sub_key, "Settings\\DRIVERS\\DBASE\\TABLE CREATE");
  EXPECT_EQ(settings[18].sub_key, "Settings\\SYSTEM\\FORMATS\\NUMBER");
  EXPECT_EQ(settings[18].name, "MILSECONDS");
  EXPECT_EQ(settings[23].sub_key, "Settings\\SYSTEM\\FORMATS\\TIME");
  EXPECT_EQ(settings[23].name, "MILSECONDS");
  EXPECT_EQ(settings[39].name, "MTS POOLING");
  int empty = 0;
  for (const auto& s : settings) empty += s.data.empty() ? 1 : 0;
  EXPECT_EQ(empty, 4);  // RESOURCE, SQLQRYMODE, SHAREDMEMLOCATION, DATA REPOSITORY
}

TEST_F(RegistryRecordsTest, EngineFolderBelowProgramFiles) {
  EXPECT_EQ(EngineDirFor("C:\\Program Files"), "C:\\Program Files\\Borland\\Common Files\\BDE");
  EXPECT_EQ(EngineDirFor("C:\\Program Files\\"), "C:\\Program Files\\Borland\\Common Files\\BDE");
  // Never the root of the current drive.
  EXPECT_EQ(EngineDirFor(""), "C:\\Program Files\\Borland\\Common Files\\BDE");
}

TEST_F(RegistryRecordsTest, EngineSettingsReplaceTheirValuesAndKeepOthers) {
  SetRegText(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Database Engine", "UseCount", "3");
  SetRegText(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Database Engine", "OTHERPRODUCT", "kept");
  SetRegText(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM\\INIT",
             "SQLQRYMODE", "SERVER");
  for (const auto& s : EngineSettings("E:\\BDE")) WriteEngineSetting(s.sub_key, s.name, s.data);

  EXPECT_EQ(RegText(kEngineKey, "UseCount"), "1");
  EXPECT_EQ(RegText(kEngineKey, "OTHERPRODUCT"), "kept");
  EXPECT_EQ(RegText(kEngineKey, "DLLPATH"), "E:\\BDE");
  // Empty strings are present as values, not missing.
  EXPECT_EQ(RegText(kEngineKey, "RESOURCE"), "");
  EXPECT_EQ(RegText(std::string(kEngineKey) + "\\Settings\\SYSTEM\\INIT", "SQLQRYMODE"), "");
  EXPECT_EQ(RegText(std::string(kEngineKey) + "\\Settings\\SYSTEM\\FORMATS\\NUMBER", "MILSECONDS"), "FALSE");
  EXPECT_EQ(RegText(std::string(kEngineKey) + "\\Settings\\SYSTEM\\FORMATS\\TIME", "MILSECONDS"), "FALSE");
  EXPECT_EQ(RegText(std::string(kEngineKey) + "\\Settings\\DRIVERS\\DBASE\\TABLE CREATE", "LEVEL"), "7");
}

TEST_F(RegistryRecordsTest, NoRightsOnTheEngineKeyAreAnErrorForEverySetting) {
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Database Engine");
  for (const auto& s : EngineSettings("E:\\BDE")) {
    EXPECT_THROW(WriteEngineSetting(s.sub_key, s.name, s.data), ERegistryException) << s.name;
  }
  EXPECT_FALSE(Registry().Exists(kEngineKey));
}

TEST_F(RegistryRecordsTest, AnEngineSubkeyThatCannotBeCreatedIsAnError) {
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Database Engine\\Settings\\SYSTEM");
  EXPECT_NO_THROW(WriteEngineSetting("", "UseCount", "1"));
  EXPECT_EQ(ErrorOf([] { WriteEngineSetting("Settings\\SYSTEM\\INIT", "VERSION", "4.0"); }),
            "Failed to create key Settings\\SYSTEM\\INIT");
}

}  // namespace
}  // namespace qr5::install
