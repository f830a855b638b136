// The wizard driver with stand-ins for the pages and the actions: each page
// answers the result the test scripts, each step leaves a mark in a trail.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/application.h"
#include "app/main_form.h"
#include "session/session_state.h"
#include "app/wizard_states.h"
#include "archive/zip_archive.h"
#include "archive/zip_errors.h"
#include "install/install_outcome.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step5.h"
#include "pages/form_step6.h"
#include "forms/scripted_front_end.h"
#include "sim_fixture.h"

namespace qr5::app {

using namespace forms;
using session::Session;
using session::SessionState;
namespace {

using Trail = std::vector<std::string>;

// A page that only records its showings and closes; its result comes from
// the script.
template <typename Page>
class QuietPage : public Page {
 public:
  explicit QuietPage(Trail& trail) : trail_(trail) {}
  void FormShow() override { trail_.push_back(this->class_name); }
  void FormClose(CloseAction&) override {
    if (!this->IsModal()) trail_.push_back("close " + this->class_name);
  }
  void FormKeyDown(Key, ShiftState, bool&) override {}

 private:
  Trail& trail_;
};

class RecordingMainForm : public TMainForm {
 public:
  explicit RecordingMainForm(Trail& trail) : trail_(trail) {}
  std::function<void(const std::string&)> on_step;  // runs inside each step

  void DoExtractLanguageFiles() override { Step("DoExtractLanguageFiles"); }
  void LoadResourceLanguage(const std::string& path) override {
    // The run's private temporary folder has a new name for every run.
    const std::string& temp = Session().TempDir;
    const bool in_temp = !path.empty() && path.compare(0, temp.size(), temp) == 0;
    Step("LoadResourceLanguage(" + (in_temp ? "%TEMP%\\" + path.substr(temp.size()) : path) + ")");
  }
  bool CheckMachineRights() override { return true; }
  void DoInstall() override { Step("DoInstall"); }
  void DoInstallKAVO5DLL() override { Step("DoInstallKAVO5DLL"); }
  void DoInstallBDE() override { Step("DoInstallBDE"); }
  void CreateProgramGroup(const std::string& ext, const std::string& name) override {
    Step("CreateProgramGroup(" + ext + "," + name + ")");
  }

 private:
  void Step(const std::string& what) {
    trail_.push_back(what);
    if (on_step) on_step(what);
  }
  Trail& trail_;
};

class WizardDriverTest : public testing::SimMachineTest {
 protected:
  void SetUp() override {
    SimMachineTest::SetUp();
    App().SetFrontEnd(&fe);
    App().title = "QR5_Installer";
    App().show_main_form = false;
    main_form = std::make_unique<RecordingMainForm>(trail);
    MainForm = main_form.get();
    App().SetMainForm(main_form.get());
    pages::FormStep1 = &step1;
    pages::FormStep2 = &step2;
    pages::FormStep3 = &step3;
    pages::FormStep4 = &step4;
    pages::FormStep5 = &step5;
    pages::FormStep6 = &step6;
  }
  void TearDown() override {
    pages::FormStep1 = nullptr;
    pages::FormStep2 = nullptr;
    pages::FormStep3 = nullptr;
    pages::FormStep4 = nullptr;
    pages::FormStep5 = nullptr;
    pages::FormStep6 = nullptr;
    App().SetMainForm(nullptr);
    main_form.reset();
    SimMachineTest::TearDown();
  }

  // The next message answers page with result, as its button would.
  void Answer(Form& page, int result) {
    fe.steps.push_back([&page, result] {
      ASSERT_TRUE(page.Visible() && page.IsModal()) << page.class_name << " is not in front";
      page.modal_result = result;
    });
  }
  // The language page confirmed with English.
  void ConfirmEnglish() {
    fe.steps.push_back([this] {
      ASSERT_TRUE(step1.IsModal());
      SessionState& s = Session();
      s.LanguageName = "English";
      s.LanguageExt = ".ENG";
      s.LanguageFilePath = s.TempDir + "LANGUAGE.ENG";
      step1.modal_result = mrOk;
    });
  }
  // Runs the message loop, as the program does, until the driver ends.
  void RunWizard() {
    ASSERT_TRUE(App().on_idle) << "FormCreate hooks the driver";
    App().Run();
    EXPECT_TRUE(App().MainFormIsClosed());
    EXPECT_FALSE(App().on_idle);
    EXPECT_TRUE(fe.steps.empty()) << fe.steps.size() << " scripted answers left";
  }

  Trail trail;
  testing::ScriptedFrontEnd fe;
  std::unique_ptr<RecordingMainForm> main_form;
  QuietPage<pages::TFormStep1> step1{trail};
  QuietPage<pages::TFormStep2> step2{trail};
  QuietPage<pages::TFormStep3> step3{trail};
  QuietPage<pages::TFormStep4> step4{trail};
  QuietPage<pages::TFormStep5> step5{trail};
  QuietPage<pages::TFormStep6> step6{trail};
};

const Trail kLanguageLoaded = {"DoExtractLanguageFiles", "TFormStep1",
                               "LoadResourceLanguage(%TEMP%\\LANGUAGE.ENG)"};
const Trail kInstall = {"TFormStep5",       "DoInstall",
                        "DoInstallKAVO5DLL", "DoInstallBDE",
                        "CreateProgramGroup(.ENG,English)", "close TFormStep5",
                        "TFormStep6"};

Trail Join(std::initializer_list<Trail> parts) {
  Trail all;
  for (const Trail& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(WizardStateTable, EveryRow) {
  using S = WizardState;
  struct Row {
    S state;
    int result;
    S next;
  } rows[] = {
      {S::kLanguage, mrCancel, S::kEnd},        {S::kLanguage, mrOk, S::kWelcome},
      {S::kLanguage, mrBack, S::kWelcome},      {S::kWelcome, mrCancel, S::kEnd},
      {S::kWelcome, mrOk, S::kLicense},         {S::kWelcome, mrBack, S::kLicense},
      {S::kLicense, mrCancel, S::kEnd},         {S::kLicense, mrBack, S::kWelcome},
      {S::kLicense, mrOk, S::kDestination},     {S::kLicense, 7, S::kDestination},
      {S::kDestination, mrCancel, S::kEnd},     {S::kDestination, mrBack, S::kLicense},
      {S::kDestination, mrOk, S::kInstalling},  {S::kDestination, 0, S::kInstalling},
      {S::kInstalling, mrNone, S::kFinish},     {S::kInstalling, mrCancel, S::kEnd},
      {S::kFinish, mrOk, S::kEnd},              {S::kFinish, mrCancel, S::kEnd},
  };
  for (const Row& row : rows)
    EXPECT_EQ(NextWizardState(row.state, row.result), row.next)
        << static_cast<int>(row.state) << " / " << row.result;
}

TEST_F(WizardDriverTest, FormCreateFillsTheStartUpFields) {
  const SessionState& s = Session();
  EXPECT_EQ(s.SetupDir, "D:\\");
  // A folder of the run's own below the system's, made at start-up.
  EXPECT_EQ(s.TempDir, "C:\\WINDOWS\\TEMP\\QR5SETUP0\\");
  EXPECT_NE(platform::Sys().files->GetFileAttributes("C:\\WINDOWS\\TEMP\\QR5SETUP0") & platform::FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(s.ProductFolder, "\\QR5");
  EXPECT_EQ(s.InstallDir, "C:\\QR5");
  EXPECT_TRUE(s.LanguageName.empty());
  EXPECT_EQ(main_form->ZipArchive1->OverwriteMode, archive::TOverwriteMode::Always);
  EXPECT_TRUE(main_form->ZipArchive1->OnStartUnZip);
  EXPECT_TRUE(main_form->ZipArchive1->OnTotalPercentDone);
  EXPECT_TRUE(main_form->ZipArchive1->ProcessMessagesHook);
  ASSERT_TRUE(main_form->ZipArchive1->MessageBoxHook);
  main_form->ZipArchive1->MessageBoxHook("CRC error", "Zip Error", platform::MB_OK);
  ASSERT_EQ(fe.boxes.size(), 1u);
  EXPECT_EQ(fe.boxes[0].caption, "Zip Error");
  main_form->ZipArchive1->ProcessMessagesHook();
  EXPECT_EQ(fe.process_calls, 1);
}

TEST_F(WizardDriverTest, SetupDirOfAnExecutableInADriveRoot) {
  sim_->SetModuleFileName("C:\\SETUP.EXE");
  main_form->FormCreate();
  EXPECT_EQ(Session().SetupDir, "C:\\");
  sim_->SetModuleFileName("C:\\Temp\\Ham Radio\\QR5_Installer.exe");
  main_form->FormCreate();
  EXPECT_EQ(Session().SetupDir, "C:\\Temp\\Ham Radio\\");
}

TEST_F(WizardDriverTest, CancelOnTheLanguagePageEndsWithTextsLoaded) {
  Answer(step1, mrCancel);
  RunWizard();
  EXPECT_EQ(trail, (Trail{"DoExtractLanguageFiles", "TFormStep1", "LoadResourceLanguage()"}));
}

TEST_F(WizardDriverTest, TheWholeRoadForward) {
  ConfirmEnglish();
  Answer(step2, mrOk);
  Answer(step3, mrOk);
  Answer(step4, mrOk);
  Answer(step6, mrOk);
  RunWizard();
  EXPECT_EQ(trail, Join({kLanguageLoaded, {"TFormStep2", "TFormStep3", "TFormStep4"}, kInstall}));
  EXPECT_FALSE(step5.Visible());
}

TEST_F(WizardDriverTest, AnyOtherResultGoesForward) {
  ConfirmEnglish();
  Answer(step2, mrBack);  // the welcome page has no Back: it counts as Next
  Answer(step3, 42);
  Answer(step4, mrYes);
  Answer(step6, mrCancel);  // the finish page's result is not examined
  RunWizard();
  EXPECT_EQ(trail, Join({kLanguageLoaded, {"TFormStep2", "TFormStep3", "TFormStep4"}, kInstall}));
}

TEST_F(WizardDriverTest, CancelOnEachModalPageEndsThere) {
  const Trail before_welcome = kLanguageLoaded;
  struct Case {
    int pages_passed;  // Next on this many pages before Cancel
    Trail shown;
  } cases[] = {{0, {"TFormStep2"}},
               {1, {"TFormStep2", "TFormStep3"}},
               {2, {"TFormStep2", "TFormStep3", "TFormStep4"}}};
  Form* pages_in_order[] = {&step2, &step3, &step4};
  for (const Case& c : cases) {
    trail.clear();
    App().Reset();
    App().SetFrontEnd(&fe);
    App().SetMainForm(main_form.get());
    main_form->FormCreate();
    ConfirmEnglish();
    for (int i = 0; i < c.pages_passed; ++i) Answer(*pages_in_order[i], mrOk);
    Answer(*pages_in_order[c.pages_passed], mrCancel);
    RunWizard();
    EXPECT_EQ(trail, Join({before_welcome, c.shown})) << c.pages_passed;
  }
}

TEST_F(WizardDriverTest, BackBackNextShowsTheLicenseAgain) {
  ConfirmEnglish();
  Answer(step2, mrOk);
  Answer(step3, mrOk);
  Answer(step4, mrBack);
  Answer(step3, mrBack);
  Answer(step2, mrOk);
  Answer(step3, mrOk);
  Answer(step4, mrOk);
  Answer(step6, mrOk);
  RunWizard();
  EXPECT_EQ(trail, Join({kLanguageLoaded,
                         {"TFormStep2", "TFormStep3", "TFormStep4", "TFormStep3", "TFormStep2",
                          "TFormStep3", "TFormStep4"},
                         kInstall}));
}

TEST_F(WizardDriverTest, BackFromTheLicenseThenCancelOnTheWelcomePage) {
  ConfirmEnglish();
  Answer(step2, mrOk);
  Answer(step3, mrBack);
  Answer(step2, mrCancel);
  RunWizard();
  EXPECT_EQ(trail, Join({kLanguageLoaded, {"TFormStep2", "TFormStep3", "TFormStep2"}}));
}

TEST_F(WizardDriverTest, TheProgressPageIsShownWithoutWaitingDuringTheActions) {
  ConfirmEnglish();
  Answer(step2, mrOk);
  Answer(step3, mrOk);
  Answer(step4, mrOk);
  Answer(step6, mrOk);
  int checked = 0;
  main_form->on_step = [&](const std::string& step) {
    const bool installing = step.rfind("DoInstall", 0) == 0 || step.rfind("CreateProgram", 0) == 0;
    if (!installing) return;
    EXPECT_TRUE(step5.Visible()) << step;
    EXPECT_FALSE(step5.IsModal()) << step;
    ++checked;
  };
  RunWizard();
  EXPECT_EQ(checked, 4);
}

TEST_F(WizardDriverTest, AFailedLanguageExtractionEndsAtTheLanguagePage) {
  // The extraction shows its message and asks the application to end.
  main_form->on_step = [](const std::string& step) {
    if (step == "DoExtractLanguageFiles") App().Terminate();
  };
  fe.steps.push_back([] { ADD_FAILURE() << "the language page must not wait"; });
  App().Run();
  EXPECT_TRUE(App().MainFormIsClosed());
  EXPECT_EQ(trail, (Trail{"DoExtractLanguageFiles", "TFormStep1", "LoadResourceLanguage()"}));
  EXPECT_EQ(fe.steps.size(), 1u);
}

TEST_F(WizardDriverTest, WhatTheInstallDidNotAchieveIsToldOnceAndTheFinishPageIsSkipped) {
  ConfirmEnglish();
  Answer(step2, mrOk);
  Answer(step3, mrOk);
  Answer(step4, mrOk);
  // Both passes fail and an action raises: every action still runs.
  main_form->on_step = [this](const std::string& step) {
    if (step == "DoInstall" || step == "DoInstallBDE") {
      try {
        throw archive::EIncompleteZip("Incomplete Zip File");
      } catch (...) {
        install::NoteExtractionFailure(*main_form->ZipArchive1);
      }
    }
    if (step == "DoInstallKAVO5DLL") throw std::runtime_error("Failed to create key Software\\X");
  };
  RunWizard();
  Trail installed = Join({kLanguageLoaded, {"TFormStep2", "TFormStep3", "TFormStep4"}, kInstall});
  installed.pop_back();  // no finish page
  EXPECT_EQ(trail, installed);
  ASSERT_EQ(fe.boxes.size(), 1u);
  EXPECT_EQ(fe.boxes[0].caption, "QR5_Installer");
  EXPECT_NE(fe.boxes[0].text.find("danneggiato"), std::string::npos) << "the damaged setup, said once";
  EXPECT_NE(fe.boxes[0].text.find("Failed to create key Software\\X"), std::string::npos) << fe.boxes[0].text;
  EXPECT_EQ(step6.modal_result, mrNone);
}

TEST_F(WizardDriverTest, TheDriverRunsOnceOnly) {
  Answer(step1, mrCancel);
  fe.steps.push_back([] {});  // a message after the driver ended
  auto idle = App().on_idle;  // the first idle moment
  idle();
  EXPECT_FALSE(App().on_idle);
  EXPECT_EQ(std::count(trail.begin(), trail.end(), "TFormStep1"), 1);
  App().Run();  // the main form is closed: the loop ends at once
  EXPECT_EQ(std::count(trail.begin(), trail.end(), "TFormStep1"), 1);
  EXPECT_EQ(fe.steps.size(), 1u);
}

}  // namespace
}  // namespace qr5::app
