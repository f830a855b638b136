// Taking the language and license files out of the setup's own payload, and
// what the run does when there is no payload to take them from.
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "lang/ini_file.h"
#include "lang_machine.h"
#include "pages/form_step1.h"

namespace qr5::lang::test {
namespace {

using Items = std::vector<std::string>;
constexpr const char* kNoPayload = "Unable to run the stub program without data to expand...";

class ExtractLanguageFiles : public LangMachine {
 protected:
  void SetUp() override {
    LangMachine::SetUp();
    main_form_ = std::make_unique<app::TMainForm>();
    app::MainForm = main_form_.get();
    forms::App().SetMainForm(main_form_.get());
  }
  void TearDown() override {
    app::MainForm = nullptr;
    main_form_.reset();
    LangMachine::TearDown();
  }
  // A folder of the host with the given files, for a setup's payload.
  fs::path Content(const std::map<std::string, std::string>& files) {
    const fs::path folder = root_ / "content";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& [name, bytes] : files) WriteHostFile(folder / name, bytes);
    return folder;
  }
  void ExpectNoPayloadMessage() {
    ASSERT_EQ(front_.boxes.size(), 1u);
    EXPECT_EQ(front_.boxes[0].text, kNoPayload);
    EXPECT_EQ(front_.boxes[0].caption, "QR5_Installer");
    EXPECT_EQ(front_.boxes[0].flags, platform::MB_OK);  // no icon
    EXPECT_TRUE(forms::App().Terminated());
  }
  std::unique_ptr<app::TMainForm> main_form_;
};

TEST_F(ExtractLanguageFiles, SuitePayloadGivesTheSixLanguagesAndTheirLicenses) {
  InstallSetup(kSuiteDir, "D:\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  EXPECT_TRUE(front_.boxes.empty());
  EXPECT_FALSE(forms::App().Terminated());
  // Only the root entries: no per-program language file, no folder.
  EXPECT_EQ(TempFiles("*"),
            (Items{"language.eng", "LANGUAGE.FIN", "LANGUAGE.FRA", "LANGUAGE.ITA", "LANGUAGE.SPA",
                   "LANGUAGE.SWE", "LICENSE.ENG", "LICENSE.FIN", "LICENSE.FRA", "LICENSE.ITA",
                   "LICENSE.SPA", "LICENSE.SWE"}));
  EXPECT_EQ(GetFile(TempDir() + "LANGUAGE.ENG"), ReadHostFile(kSuiteDir / "language.eng"));
  EXPECT_EQ(GetFile(TempDir() + "LANGUAGE.SPA"), ReadHostFile(kSuiteDir / "LANGUAGE.SPA"));
  EXPECT_EQ(GetFile(TempDir() + "LICENSE.FRA"), ReadHostFile(kSuiteDir / "LICENSE.FRA"));

  // The language page then offers all six, the machine's language first.
  sim_->SetLanguageName("Swedish");
  pages::TFormStep1 page;
  page.LoadLanguageList();
  EXPECT_EQ(page.LangCombo.items, (Items{"English", "Finnish", "Fran\xE7" "ais", "Italiano",
                                         "Espa\xF1ol", "Svenska"}));
  EXPECT_EQ(page.LangCombo.item_index, 5);
  EXPECT_EQ(page.caption, "Val av spr\xE5k");
  EXPECT_EQ(page.CancelButton.text, "Avbryt");
}

TEST_F(ExtractLanguageFiles, LanguageFilesOfAnEarlierRunAreReplaced) {
  PutFile(TempDir() + "LANGUAGE.ITA", "[Setup]\r\nLanguage=Vecchio\r\n");
  PutFile(TempDir() + "license.eng", "an older license\r\n");
  InstallSetup(kSuiteDir, "D:\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  EXPECT_TRUE(front_.boxes.empty());
  EXPECT_EQ(GetFile(TempDir() + "LANGUAGE.ITA"), ReadHostFile(kSuiteDir / "LANGUAGE.ITA"));
  EXPECT_EQ(GetFile(TempDir() + "LICENSE.ENG"), ReadHostFile(kSuiteDir / "LICENSE.ENG"));
  EXPECT_EQ(TIniFile(TempDir() + "LANGUAGE.ITA").ReadString("Setup", "Language", ""), "Italiano");
}

TEST_F(ExtractLanguageFiles, ReadOnlyLeftoverIsKeptWithoutAMessage) {
  const std::string leftover = "[Setup]\r\nLanguage=Vecchio\r\n";
  PutFile(TempDir() + "LANGUAGE.ITA", leftover);
  ASSERT_TRUE(platform::Sys().files->SetFileAttributes(TempDir() + "LANGUAGE.ITA",
                                                       platform::FILE_ATTRIBUTE_READONLY));
  InstallSetup(kSuiteDir, "D:\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  EXPECT_TRUE(front_.boxes.empty());
  EXPECT_FALSE(forms::App().Terminated());
  EXPECT_EQ(GetFile(TempDir() + "LANGUAGE.ITA"), leftover);
  EXPECT_EQ(GetFile(TempDir() + "LANGUAGE.SWE"), ReadHostFile(kSuiteDir / "LANGUAGE.SWE"));
}

TEST_F(ExtractLanguageFiles, PayloadWithoutLanguageFilesLeavesAnEmptyListAndEnglish) {
  InstallSetup(Content({{"QR5.EXE", "program"}, {"AWARDS/IOTA.DBF", "table"},
                        {"DOC/LANGUAGE.ENG", "not at the root"}}),
               "D:\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  EXPECT_TRUE(front_.boxes.empty());
  EXPECT_FALSE(forms::App().Terminated());
  EXPECT_TRUE(TempFiles("*").empty());

  pages::TFormStep1 page;
  front_.steps.push_back([&page] { page.Click("OKButton"); });
  EXPECT_EQ(page.ShowModal(), forms::mrOk);
  EXPECT_TRUE(page.LangCombo.items.empty());
  EXPECT_EQ(page.caption, "Select Setup Language");
  EXPECT_EQ(session::Session().LanguageExt, ".ENG");
  EXPECT_EQ(session::Session().LanguageFilePath, TempDir() + "LANGUAGE.ENG");
}

TEST_F(ExtractLanguageFiles, SetupWithoutPayloadTellsTheUserAndTheLanguagePageCancels) {
  InstallExecutable(StubBytes(), "D:\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  ExpectNoPayloadMessage();
  EXPECT_TRUE(TempFiles("*").empty());

  // The request to end takes effect at the next modal loop: the page is
  // filled, then returns Cancel before any user action.
  pages::TFormStep1 page;
  bool user_acted = false;
  front_.steps.push_back([&] {
    user_acted = true;
    page.Click("OKButton");
  });
  EXPECT_EQ(page.ShowModal(), forms::mrCancel);
  EXPECT_FALSE(user_acted);
  EXPECT_EQ(session::Session().LanguageFilePath, "");
}

TEST_F(ExtractLanguageFiles, PayloadCutShortGivesTheSameMessage) {
  InstallSetup(kSuiteDir, "D:\\QR5_Installer.exe");
  std::string setup = GetFile("D:\\QR5_Installer.exe");
  setup.resize(setup.size() - 200);  // loses the end record
  InstallExecutable(setup, "D:\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  ExpectNoPayloadMessage();
}

// The payload is read deny-write, so a setup file that another program is
// still writing (a download not finished) is not read half-written.
TEST_F(ExtractLanguageFiles, SetupHeldOpenForWritingGivesTheSameMessage) {
  InstallSetup(kSuiteDir, "D:\\QR5_Installer.exe");
  // The other program opened it before the setup was started.
  sim_->SetModuleFileName("");
  auto writer = platform::Sys().files->OpenFile("D:\\QR5_Installer.exe", platform::OpenMode::kReadWrite);
  ASSERT_NE(writer, nullptr);
  sim_->SetModuleFileName("D:\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  ExpectNoPayloadMessage();
  EXPECT_TRUE(TempFiles("*").empty());
}

TEST_F(ExtractLanguageFiles, MissingExecutableGivesTheSameMessage) {
  sim_->SetModuleFileName("D:\\GONE\\QR5_Installer.exe");
  main_form_->DoExtractLanguageFiles();
  ExpectNoPayloadMessage();
}

}  // namespace
}  // namespace qr5::lang::test
