// The program entry over a simulated machine, with the real forms and the
// console front end reading scripted input.
#include "app/program_entry.h"

#include <gtest/gtest.h>

#include <sstream>

#include "forms/application.h"
#include "app/main_form.h"
#include "session/session_state.h"
#include "pages/form_step1.h"
#include "front_ends/console/console_front_end.h"
#include "setup_exe.h"
#include "sim_fixture.h"

namespace qr5::app {

using namespace forms;
using session::Session;
namespace {

const char* const kTemp = "C:\\WINDOWS\\TEMP\\";

class ProgramEntryTest : public testing::SimMachineTest {
 protected:
  void SetUp() override {
    SimMachineTest::SetUp();
    // Any bytes do as the program part: this process runs, not the file.
    testing::MakeSetupExe(QR5_SOURCE_DIR "/CMakeLists.txt", Host("D:\\QR5_Installer.exe"),
                          testing::LanguagePayload());
    WriteFile(std::string(kTemp) + "OLDLANGUAGE.ENG", "mine");
    WriteFile(std::string(kTemp) + "MYLICENSE.TXT", "mine");
  }
  int Run(const std::string& input) {
    in.str(input);
    console = std::make_unique<front_ends::ConsoleFrontEnd>(in, out);
    return RunProgram(*console);
  }
  // Forms the console printed, in order.
  std::vector<std::string> Shown() const {
    std::vector<std::string> names;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("=== ", 0) == 0 && line.find("(updated)") == std::string::npos)
        names.push_back(line.substr(4, line.find(':') - 4));
    return names;
  }
  void ExpectTempCleaned() {
    for (const char* gone : {"LANGUAGE.ENG", "LANGUAGE.ITA", "LICENSE.ENG", "LICENSE.ITA"})
      EXPECT_FALSE(Exists(std::string(kTemp) + gone)) << gone;
    EXPECT_TRUE(Exists(std::string(kTemp) + "OLDLANGUAGE.ENG"));
    EXPECT_TRUE(Exists(std::string(kTemp) + "MYLICENSE.TXT"));
    // The run's own folder went with everything in it.
    EXPECT_FALSE(Exists(std::string(kTemp) + "QR5SETUP0"));
  }

  std::string ReadFile(const std::string& windows_path) {
    return testing::ReadAll(Host(windows_path));
  }

  std::istringstream in;
  std::ostringstream out;
  std::unique_ptr<front_ends::ConsoleFrontEnd> console;
};

TEST_F(ProgramEntryTest, CancelOnTheLanguagePage) {
  EXPECT_EQ(Run("click CancelButton\n"), 2);  // cancelled before the installation
  EXPECT_EQ(Shown(), std::vector<std::string>{"TFormStep1"}) << out.str();
  // The page listed the extracted languages, so they were there.
  EXPECT_NE(out.str().find("English"), std::string::npos);
  EXPECT_NE(out.str().find("Italiano"), std::string::npos);
  // Texts loaded with their defaults.
  EXPECT_TRUE(Session().LanguageFilePath.empty());
  EXPECT_EQ(Session().SuiteTexts.size(), 19u);
  EXPECT_FALSE(Session().SuiteTexts["001"].empty());
  EXPECT_EQ(Session().TempDir, std::string(kTemp) + "QR5SETUP0\\");
  EXPECT_EQ(Session().SetupDir, "D:\\");
  EXPECT_EQ(App().title, "QR5_Installer");
  EXPECT_TRUE(console->message_boxes.empty());
  // The forms are gone with the run.
  EXPECT_EQ(MainForm, nullptr);
  EXPECT_EQ(pages::FormStep1, nullptr);
  EXPECT_EQ(App().MainForm(), nullptr);
  ExpectTempCleaned();
}

TEST_F(ProgramEntryTest, TheEndOfTheInputEndsTheRunCleanly) {
  EXPECT_EQ(Run("key Tab\nselect LangCombo Italiano\n"), 2);  // cancelled before the installation
  EXPECT_EQ(Shown(), std::vector<std::string>{"TFormStep1"});
  ExpectTempCleaned();
}

TEST_F(ProgramEntryTest, TheLanguageChoiceReachesTheWelcomePage) {
  EXPECT_EQ(Run("select LangCombo Italiano\nclick OKButton\n"), 2);  // cancelled before the installation
  EXPECT_EQ(Shown(), (std::vector<std::string>{"TFormStep1", "TFormStep2"})) << out.str();
  EXPECT_EQ(Session().LanguageExt, ".ITA");
  EXPECT_EQ(Session().LanguageFilePath, std::string(kTemp) + "QR5SETUP0\\LANGUAGE.ITA");
  ExpectTempCleaned();
}

TEST_F(ProgramEntryTest, WithoutPayloadTheLanguagePageEndsAtOnce) {
  testing::MakeSetupExe(QR5_SOURCE_DIR "/CMakeLists.txt", Host("D:\\QR5_Installer.exe"), {});
  EXPECT_EQ(Run("click OKButton\n"), 1);  // could not start
  ASSERT_EQ(console->message_boxes.size(), 1u);
  EXPECT_EQ(console->message_boxes[0].caption, "QR5_Installer");
  // The page flashed and returned Cancel without reading the input.
  EXPECT_EQ(Shown(), std::vector<std::string>{"TFormStep1"});
  EXPECT_EQ(out.str().find("error:"), std::string::npos);
  EXPECT_TRUE(Session().LanguageFilePath.empty());
  EXPECT_EQ(Session().SuiteTexts.size(), 19u);
  ExpectTempCleaned();
}

TEST_F(ProgramEntryTest, ACopyRunningUnderTheSameNameIsRefusedSilently) {
  // The other copy holds the mutex named by the file name.
  ASSERT_TRUE(platform::Sys().processes->CreateMutex("QR5_Installer.exe"));
  EXPECT_EQ(Run("click CancelButton\n"), 1);  // could not start
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(Exists(std::string(kTemp) + "OLDLANGUAGE.ENG"));
  EXPECT_TRUE(Session().TempDir.empty());  // no form was made
}

TEST_F(ProgramEntryTest, AnotherSpellingOfTheNameIsNotRefused) {
  ASSERT_TRUE(platform::Sys().processes->CreateMutex("qr5_installer.exe"));
  ASSERT_TRUE(platform::Sys().processes->CreateMutex("QR5_Installer"));
  EXPECT_EQ(Run("click CancelButton\n"), 2);  // cancelled before the installation
  EXPECT_EQ(Shown(), std::vector<std::string>{"TFormStep1"});
}

TEST_F(ProgramEntryTest, TheMutexIsNamedByTheFileNameAfterTheLastBackslashOrColon) {
  sim_->SetModuleFileName("D:\\Setups\\QR5_Installer.exe");
  testing::MakeSetupExe(QR5_SOURCE_DIR "/CMakeLists.txt", Host("D:\\Setups\\QR5_Installer.exe"),
                        testing::LanguagePayload());
  EXPECT_EQ(Run("click CancelButton\n"), 2);  // cancelled before the installation
  EXPECT_TRUE(platform::Sys().processes->OpenMutex("QR5_Installer.exe"));
  EXPECT_FALSE(platform::Sys().processes->OpenMutex("D:\\Setups\\QR5_Installer.exe"));
}

// ---- the run's own temporary folder ---------------------------------------------

TEST_F(ProgramEntryTest, ACopyUnderAnotherNameKeepsItsLanguageFilesWhenThisOneEnds) {
  // The first copy, QR5_Installer.exe, is on its language page (another
  // process, holding its folder's mutex).
  WriteFile(std::string(kTemp) + "QR5SETUP0\\LANGUAGE.ENG", "[Setup]\r\nLanguage=English\r\n");
  auto first = platform::sim::SimMachine::Open(root_);
  ASSERT_TRUE(first->machine().processes->CreateMutex("QR5SETUP0 run"));
  sim_->SetModuleFileName("D:\\SETUP2.EXE");
  testing::MakeSetupExe(QR5_SOURCE_DIR "/CMakeLists.txt", Host("D:\\SETUP2.EXE"), testing::LanguagePayload());
  EXPECT_EQ(Run("click CancelButton\n"), 2);  // cancelled before the installation
  EXPECT_EQ(Session().TempDir, std::string(kTemp) + "QR5SETUP1\\");
  EXPECT_FALSE(Exists(std::string(kTemp) + "QR5SETUP1"));
  EXPECT_EQ(ReadFile(std::string(kTemp) + "QR5SETUP0\\LANGUAGE.ENG"), "[Setup]\r\nLanguage=English\r\n");
}

TEST_F(ProgramEntryTest, OtherFilesOfTheSharedTemporaryFolderAreNeitherListedNorTouched) {
  WriteFile(std::string(kTemp) + "LICENSE.TXT", "another program's");
  WriteFile(std::string(kTemp) + "LANGUAGE.DAT", "another program's");
  // A read-only leftover of an earlier run, in another language.
  WriteFile(std::string(kTemp) + "LANGUAGE.ENG", "[Setup]\r\nLanguage=Stale\r\n");
  ASSERT_TRUE(platform::Sys().files->SetFileAttributes(std::string(kTemp) + "LANGUAGE.ENG",
                                                       platform::FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Run("click CancelButton\n"), 2);  // cancelled before the installation
  EXPECT_EQ(out.str().find("Stale"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("English"), std::string::npos);
  EXPECT_EQ(ReadFile(std::string(kTemp) + "LICENSE.TXT"), "another program's");
  EXPECT_EQ(ReadFile(std::string(kTemp) + "LANGUAGE.DAT"), "another program's");
  EXPECT_EQ(ReadFile(std::string(kTemp) + "LANGUAGE.ENG"), "[Setup]\r\nLanguage=Stale\r\n");
}

TEST_F(ProgramEntryTest, AFlattenedPayloadNameLeavesNothingBehind) {
  // The pattern takes this name and the flat extraction makes it X.TXT.
  auto payload = testing::LanguagePayload();
  payload.emplace_back("LICENSE.ENG", "LANGUAGE.ENG\\..\\..\\X.TXT");
  testing::MakeSetupExe(QR5_SOURCE_DIR "/CMakeLists.txt", Host("D:\\QR5_Installer.exe"), payload);
  EXPECT_EQ(Run("click CancelButton\n"), 2);  // cancelled before the installation
  for (const char* gone : {"C:\\WINDOWS\\TEMP\\X.TXT", "C:\\WINDOWS\\X.TXT", "C:\\X.TXT", "C:\\WINDOWS\\TEMP\\QR5SETUP0"})
    EXPECT_FALSE(Exists(gone)) << gone;
}

TEST_F(ProgramEntryTest, WithoutAPrivateFolderTheSharedOneServesAsBefore) {
  // Every name taken: the files go to the shared folder and leave it by
  // their names.
  for (int n = 0; n < 1000; ++n) WriteFile(std::string(kTemp) + "QR5SETUP" + std::to_string(n), "");
  EXPECT_EQ(Run("select LangCombo Italiano\nclick OKButton\n"), 2);  // cancelled before the installation
  EXPECT_EQ(Session().LanguageFilePath, std::string(kTemp) + "LANGUAGE.ITA");
  for (const char* gone : {"LANGUAGE.ENG", "LANGUAGE.ITA", "LICENSE.ENG", "LICENSE.ITA"})
    EXPECT_FALSE(Exists(std::string(kTemp) + gone)) << gone;
  EXPECT_TRUE(Exists(std::string(kTemp) + "OLDLANGUAGE.ENG"));
}

}  // namespace
}  // namespace qr5::app
