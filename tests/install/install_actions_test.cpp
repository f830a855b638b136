// The install actions one at a time, on the main form with the progress
// page beside it: extraction plan edge cases, missing rights, the engine
// folder, and the program group step.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "forms/application.h"
#include "app/main_form.h"
#include "session/session_state.h"
#include "install/install_fixture.h"
#include "install/lnk_reader.h"
#include "install/install_outcome.h"
#include "install/engine_settings.h"
#include "install/registry_records.h"
#include "pages/form_step5.h"

namespace qr5::install {
namespace {

namespace fs = std::filesystem;
using testing::InstallTest;
using testing::kAllUsers;
using testing::kEngineDir;
using testing::kUserProfile;
using testing::ReadHostFile;
using testing::SuiteSourceDir;
using testing::WriteHostFile;

const std::string kGroup = std::string(kAllUsers) + "\\Start Menu\\Programs\\Quorlin 5";
constexpr char kEntryKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5";
constexpr char kEngineKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Database Engine";
constexpr char kItalianMessage[] = "Impossibile avviare il programma di Stub senza i dati da espandere...";

class InstallActionsTest : public InstallTest {
 protected:
  void SetUp() override {
    InstallTest::SetUp();
    ASSERT_TRUE(platform::Sys().com->Initialize());
    main_ = std::make_unique<app::TMainForm>();
    step5_ = std::make_unique<pages::TFormStep5>();
    pages::FormStep5 = step5_.get();
    session::SessionState& s = session::Session();
    s.LanguageName = "English";
    s.LanguageExt = ".ENG";
    s.LanguageFilePath = s.TempDir + "LANGUAGE.ENG";
    WriteFile(s.LanguageFilePath, ReadHostFile(SuiteSourceDir() + "/language.eng"));
    main_->LoadResourceLanguage(s.LanguageFilePath);
  }
  void TearDown() override {
    pages::FormStep5 = nullptr;
    step5_.reset();
    main_.reset();
    platform::Sys().com->Uninitialize();
    InstallTest::TearDown();
  }

  // Replaces the setup by a stub with an archive of the given entries
  // (stored names as keys) appended, made by Info-ZIP zip.
  void UseArchive(const std::map<std::string, std::string>& entries) {
    const fs::path dir = fs::path(root_) / "archive-src";
    fs::remove_all(dir);
    for (const auto& [name, content] : entries) WriteHostFile((dir / name).string(), content);
    const std::string exe = (fs::path(root_) / "setup.exe").string();
    const std::string command = "cd '" + dir.string() + "' && zip -q -r -X -D ../setup.zip . && cd .. && "
                                "{ printf 'MZ'; cat setup.zip; } > setup.exe && zip -q -A setup.exe";
    ASSERT_EQ(std::system(command.c_str()), 0);
    WriteHostFile(Host(testing::kSetupExe), ReadHostFile(exe));
  }

  void RunAllActions() {
    const session::SessionState& s = session::Session();
    main_->DoInstall();
    main_->DoInstallKAVO5DLL();
    main_->DoInstallBDE();
    main_->CreateProgramGroup(s.LanguageExt, s.LanguageName);
  }

  std::string ErrorOfGroupStep() {
    try {
      main_->CreateProgramGroup(".ENG", "English");
    } catch (const std::exception& e) {
      return e.what();
    }
    return "(no error)";
  }

  // Takes a value out of the machine's registry file.
  void RemoveRegistryLine(const std::string& fragment) {
    const std::string path = root_ + "/registry.reg";
    std::string text = ReadHostFile(path);
    const size_t at = text.find(fragment);
    ASSERT_NE(at, std::string::npos) << fragment;
    const size_t begin = text.rfind('\n', at) + 1;
    text.erase(begin, text.find('\n', at) + 1 - begin);
    WriteHostFile(path, text);
  }

  std::unique_ptr<app::TMainForm> main_;
  std::unique_ptr<pages::TFormStep5> step5_;
};

TEST_F(InstallActionsTest, ProgressHandlersMoveTheBarAndNameTheFile) {
  forms::Control& bar = step5_->Get("SCProgress1");
  main_->ZipArchive1TotalPercentDone(42);
  EXPECT_EQ(bar.position, 42);
  main_->ZipArchive1TotalPercentDone(250);
  EXPECT_EQ(bar.position, 100);
  main_->ZipArchive1TotalPercentDone(-7);
  EXPECT_EQ(bar.position, 0);

  std::string name = "C:\\QR5\\AWARDS\\IOTA.DBF";
  bool skip = false;
  main_->ZipArchive1StartUnZip(3, name, skip);
  EXPECT_EQ(step5_->Get("Label2").text, "C:\\QR5\\AWARDS\\IOTA.DBF");
  EXPECT_EQ(name, "C:\\QR5\\AWARDS\\IOTA.DBF");
  EXPECT_FALSE(skip);
}

TEST_F(InstallActionsTest, StoredPathsAreKeptAndEntriesWithoutADotAreLeftOut) {
  UseArchive({{"Awards/x.bmp", "bitmap"}, {"language.eng", "[Setup]\r\n"}, {"README", "no dot"},
              {"BDE/IDAPI32.DLL", "engine"}, {"BDE/LANGDRV/ASCII.LD", "driver"}});
  main_->DoInstall();
  main_->DoInstallBDE();
  EXPECT_TRUE(fe_.boxes.empty());
  EXPECT_EQ(ReadFile("C:\\QR5\\Awards\\x.bmp"), "bitmap");
  EXPECT_EQ(ReadFile("C:\\QR5\\language.eng"), "[Setup]\r\n");
  EXPECT_FALSE(FileExists("C:\\QR5\\README"));
  EXPECT_EQ(ReadFile(std::string(kEngineDir) + "\\IDAPI32.DLL"), "engine");
  EXPECT_EQ(ReadFile(std::string(kEngineDir) + "\\ASCII.LD"), "driver");
  EXPECT_FALSE(DirExists(std::string(kEngineDir) + "\\LANGDRV"));
  EXPECT_EQ(step5_->Get("SCProgress1").position, 100);
  // The label names the last file written, in the engine folder itself.
  EXPECT_EQ(step5_->Get("Label2").text.rfind(std::string(kEngineDir) + "\\", 0), 0u);
}

TEST_F(InstallActionsTest, AnInstallFolderWithATrailingBackslashIsRecordedAsGiven) {
  UseArchive({{"QR5.EXE", "program"}, {"AWARDS/DXCC.DBF", "awards"}});
  session::Session().InstallDir = "C:\\QR5\\";
  main_->DoInstall();
  EXPECT_EQ(ReadFile("C:\\QR5\\AWARDS\\DXCC.DBF"), "awards");
  EXPECT_EQ(session::Session().InstallDir, "C:\\QR5\\");
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"), "C:\\QR5\\");
  EXPECT_EQ(RegText(kEntryKey, "UninstallString"), "C:\\QR5\\\\QR5_UNINSTALLER.EXE");
  EXPECT_EQ(RegText(kEntryKey, "DisplayIcon"), "C:\\QR5\\\\QUORLIN5.ICO");
  main_->DoInstallKAVO5DLL();
  EXPECT_TRUE(FileExists("C:\\QR5\\KAVO5.DLL"));
}

TEST_F(InstallActionsTest, WithoutMachineWideRightsEachKeyIsToldAndTheRestIsInstalled) {
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Database Engine");
  ASSERT_NO_THROW(RunAllActions());
  using Failure = session::InstallShortfall::Failure;
  EXPECT_EQ(session::Session().Shortfall.failures,
            (std::vector<Failure>{{kUninstallEntryKey, platform::ERROR_ACCESS_DENIED},
                                  {kEngineKeyName, platform::ERROR_ACCESS_DENIED}}));
  EXPECT_FALSE(Registry().Exists(kEntryKey));
  EXPECT_FALSE(Registry().Exists(kEngineKey));
  EXPECT_TRUE(FileExists("C:\\QR5\\QR5.EXE"));
  EXPECT_TRUE(FileExists(std::string(kEngineDir) + "\\IDAPI32.DLL"));
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), "English");
  EXPECT_EQ(List(kGroup).size(), 10u);
}

TEST_F(InstallActionsTest, WithoutAProgramFilesFolderTheEngineGoesToTheDefaultOne) {
  RemoveRegistryLine("\"ProgramFilesDir\"");
  ASSERT_EQ(GetProgramFilesDir(), "");
  main_->DoInstallBDE();
  EXPECT_TRUE(fe_.boxes.empty());
  EXPECT_TRUE(FileExists(std::string(kEngineDir) + "\\IDAPI32.DLL"));
  EXPECT_FALSE(DirExists("C:\\Borland"));
  EXPECT_FALSE(DirExists("D:\\Borland"));
  EXPECT_EQ(RegText(kEngineKey, "DLLPATH"), kEngineDir);
}

TEST_F(InstallActionsTest, TheEngineFolderFollowsTheRecordedProgramFilesFolder) {
  SetRegText(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
             "D:\\Programme\\");
  main_->DoInstallBDE();
  EXPECT_TRUE(fe_.boxes.empty());
  EXPECT_TRUE(FileExists("D:\\Programme\\Borland\\Common Files\\BDE\\IDAPI32.DLL"));
  EXPECT_EQ(RegText(kEngineKey, "DLLPATH"), "D:\\Programme\\Borland\\Common Files\\BDE");
  EXPECT_EQ(RegText(kEngineKey, "CONFIGFILE01"), "D:\\Programme\\Borland\\Common Files\\BDE\\IDAPI32.CFG");
}

TEST_F(InstallActionsTest, AMissingSetupFileFailsBothPassesAndWritesNoEngineSetting) {
  fs::remove(Host(testing::kSetupExe));
  main_->DoInstall();
  main_->DoInstallBDE();
  // Nothing yet: the user is told once, after the last action.
  EXPECT_TRUE(fe_.boxes.empty());
  ASSERT_TRUE(ReportShortfall());
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Setup could not install Quorlin 5 completely.\n\n"
                               "The setup file is damaged or incomplete; please download it again.");
  EXPECT_EQ(fe_.boxes[0].caption, "QR5_Installer");
  EXPECT_TRUE(forms::App().Terminated());
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), "English");
  EXPECT_TRUE(Registry().Exists(kEntryKey));
  EXPECT_FALSE(Registry().Exists(kEngineKey));
}

TEST_F(InstallActionsTest, ASetupWithoutArchiveFailsTheSuitePassWithTheBuiltInTextWhereTheFileHasNone) {
  WriteFile(testing::kSetupExe, std::string(4096, 'M'));
  WriteFile(session::Session().LanguageFilePath, "[Installer]\r\n");
  main_->DoInstall();
  ASSERT_TRUE(ReportShortfall());
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text.substr(0, sizeof kItalianMessage - 1), kItalianMessage);
  EXPECT_EQ(RegText(kEntryKey, "DisplayName"), "Quorlin 5");
}

TEST_F(InstallActionsTest, KavoLibraryIsCopiedOnlyWhenItLiesBesideTheSetup) {
  ASSERT_TRUE(files().CreateDirectory("C:\\QR5"));
  fs::remove(Host("D:\\SETUP\\KAVO5.DLL"));
  main_->DoInstallKAVO5DLL();
  EXPECT_FALSE(FileExists("C:\\QR5\\KAVO5.DLL"));
  WriteFile("D:\\SETUP\\KAVO5.DLL", "new");
  WriteFile("C:\\QR5\\KAVO5.DLL", "old");
  main_->DoInstallKAVO5DLL();
  EXPECT_EQ(ReadFile("C:\\QR5\\KAVO5.DLL"), "new");
}

TEST_F(InstallActionsTest, ADestinationRunningThroughAFileCountsEveryEntryAsNotInstalled) {
  WriteFile("D:\\file.txt", "the user's");
  session::Session().InstallDir = "D:\\file.txt\\QR5";
  main_->DoInstall();
  const session::InstallShortfall& shortfall = session::Session().Shortfall;
  EXPECT_GT(shortfall.files_not_installed, 150);
  EXPECT_EQ(shortfall.first_file.rfind("D:\\file.txt\\QR5\\", 0), 0u) << shortfall.first_file;
  EXPECT_EQ(ReadFile("D:\\file.txt"), "the user's");
  EXPECT_TRUE(fe_.boxes.empty()) << "told at the end of the installation";
}

TEST_F(InstallActionsTest, TheUninstallCommandIsQuotedWhenTheFolderHoldsABlankAndTheIconIsNot) {
  session::Session().InstallDir = "D:\\My Apps\\QR5";
  main_->DoInstall();
  EXPECT_TRUE(FileExists("D:\\My Apps\\QR5\\QR5.EXE"));
  EXPECT_EQ(RegText(kEntryKey, "UninstallString"), "\"D:\\My Apps\\QR5\\QR5_UNINSTALLER.EXE\"");
  EXPECT_EQ(RegText(kEntryKey, "DisplayIcon"), "D:\\My Apps\\QR5\\QUORLIN5.ICO");
  EXPECT_EQ(RegText(kEntryKey, "QuietUninstallString"), "\"D:\\My Apps\\QR5\\QR5_UNINSTALLER.EXE\" /VERYSILENT");
}

TEST_F(InstallActionsTest, AKavoLibraryFromAReadOnlyMediumCanBeReplacedByTheNextSetup) {
  ASSERT_TRUE(files().CreateDirectory("C:\\QR5"));
  WriteFile("D:\\SETUP\\KAVO5.DLL", "from the CD");
  SetReadOnly("D:\\SETUP\\KAVO5.DLL");
  main_->DoInstallKAVO5DLL();
  EXPECT_EQ(files().GetFileAttributes("C:\\QR5\\KAVO5.DLL") & platform::FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_NE(files().GetFileAttributes("D:\\SETUP\\KAVO5.DLL") & platform::FILE_ATTRIBUTE_READONLY, 0u);
  // The next setup, from a newer CD, replaces it.
  files().SetFileAttributes("D:\\SETUP\\KAVO5.DLL", 0);
  WriteFile("D:\\SETUP\\KAVO5.DLL", "newer");
  SetReadOnly("D:\\SETUP\\KAVO5.DLL");
  main_->DoInstallKAVO5DLL();
  EXPECT_EQ(ReadFile("C:\\QR5\\KAVO5.DLL"), "newer");
}

// ---- program group -----------------------------------------------------------

TEST_F(InstallActionsTest, AReadOnlySuiteIniIsToldAndTheGroupStepGoesOn) {
  session::Session().InstallDir = "C:\\QR5";
  WriteFile("C:\\QR5\\SYSTEM\\QR5.INI", "[Setup]\r\nLanguageFile=QR5_LANGUAGE.ITA\r\n");
  WriteFile("C:\\QR5\\QRVELTA.INI", "[Setup]\r\n");
  WriteFile("C:\\QR5\\HERALDO.INI", "[Setup]\r\n");
  SetReadOnly("C:\\QR5\\QRVELTA.INI");

  EXPECT_EQ(ErrorOfGroupStep(), "(no error)");
  using Failure = session::InstallShortfall::Failure;
  EXPECT_EQ(session::Session().Shortfall.failures,
            (std::vector<Failure>{{"C:\\QR5\\QRVELTA.INI", platform::ERROR_ACCESS_DENIED}}));
  EXPECT_EQ(ReadFile("C:\\QR5\\QRVELTA.INI"), "[Setup]\r\n");
  EXPECT_EQ(platform::Sys().profile->GetString("C:\\QR5\\HERALDO.INI", "Setup", "LanguageFile", ""),
            "HERALDO_LANGUAGE.ENG");
  EXPECT_TRUE(DirExists(kGroup));
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), "English");
}

TEST_F(InstallActionsTest, OnlyTheInisThatExistAreWrittenAndTheGroupIsFull) {
  session::Session().InstallDir = "C:\\QR5";
  WriteFile("C:\\QR5\\SYSTEM\\QR5.INI", "; settings\r\n[Window]\r\nLeft=1\r\n");
  main_->CreateProgramGroup(".SWE", "Svenska");
  EXPECT_EQ(platform::Sys().profile->GetString("C:\\QR5\\SYSTEM\\QR5.INI", "Setup", "LanguageFile", ""),
            "QR5_LANGUAGE.SWE");
  EXPECT_EQ(platform::Sys().profile->GetString("C:\\QR5\\SYSTEM\\QR5.INI", "Window", "Left", ""), "1");
  EXPECT_EQ(List("C:\\QR5"), std::vector<std::string>{"SYSTEM"});
  EXPECT_EQ(List(kGroup).size(), 10u);
  EXPECT_EQ(List(kGroup + "\\Manuals").size(), 9u);
  const auto link = qr5::test::ReadShellLink(Host(kGroup + "\\Manuals\\Heraldo manual.lnk"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "C:\\QR5\\DOC\\SWE\\HERALDO.PDF");
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), "Svenska");
}

TEST_F(InstallActionsTest, AnEmptyManualsNamePutsTheManualsInTheGroupItself) {
  session::Session().InstallDir = "C:\\QR5";
  session::Session().SuiteTexts["010"] = "";
  main_->CreateProgramGroup(".ENG", "English");
  EXPECT_EQ(List(kGroup).size(), 18u);
  EXPECT_TRUE(FileExists(kGroup + "\\Safekeep-Restore manual.lnk"));
}

TEST_F(InstallActionsTest, DefaultCaptionsWithASlashStillGiveTheirShortcuts) {
  session::Session().InstallDir = "C:\\QR5";
  session::Session().SuiteTexts.clear();  // no language file: built-in texts
  main_->CreateProgramGroup(".ENG", "English");
  const auto link = qr5::test::ReadShellLink(Host(kGroup + "\\Safekeep-Restore.lnk"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "C:\\QR5\\SAFEKEEP.EXE");
  EXPECT_TRUE(FileExists(kGroup + "\\Quorlin 5 Velta.lnk"));
  EXPECT_TRUE(FileExists(kGroup + "\\Manuals\\Safekeep-Restore manual.lnk"));
}

TEST_F(InstallActionsTest, OnTheWindows95FamilyTheGroupIsTheUsersOwn) {
  SetVersion(1, 4, 10, 0x040A08AE, "A");
  session::Session().InstallDir = "C:\\QR5";
  main_->CreateProgramGroup(".ENG", "English");
  const std::string group = std::string(kUserProfile) + "\\Start Menu\\Programs\\Quorlin 5";
  EXPECT_EQ(List(group).size(), 10u);
  EXPECT_FALSE(DirExists(kGroup));
}

TEST_F(InstallActionsTest, WithoutAProgramsFolderTheGroupIsToldAndTheLanguagesAreStillSet) {
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer");
  session::Session().InstallDir = "C:\\QR5";
  WriteFile("C:\\QR5\\HERALDO.INI", "[Setup]\r\n");
  EXPECT_EQ(ErrorOfGroupStep(), "(no error)");
  EXPECT_EQ(platform::Sys().profile->GetString("C:\\QR5\\HERALDO.INI", "Setup", "LanguageFile", ""),
            "HERALDO_LANGUAGE.ENG");
  EXPECT_FALSE(DirExists(kGroup));
  ASSERT_EQ(session::Session().Shortfall.failures.size(), 1u);
  EXPECT_NE(session::Session().Shortfall.failures[0].what.find("Shell Folders\\Common Programs"), std::string::npos);
}

}  // namespace
}  // namespace qr5::install
