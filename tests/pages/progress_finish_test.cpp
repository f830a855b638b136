#include <gtest/gtest.h>

#include "install/shell_folders.h"
#include "pages_fixture.h"

namespace qr5::pages {
namespace {

using forms::Key;
using forms::ShiftState;
using testing::PagesTest;

using ProgressPageTest = PagesTest;

// Every key and close request leaves it open, also without the page's own
// key handler: a frame without a close box refuses a close by the user.
TEST_F(ProgressPageTest, TheUserCannotCloseIt) {
  step5_->Show();
  ASSERT_TRUE(step5_->Visible());
  EXPECT_TRUE(step5_->key_preview);
  EXPECT_FALSE(step5_->system_menu);
  const struct {
    Key key;
    ShiftState shift;
  } keys[] = {{Key::kF4, {false, true, false}}, {Key::kF4, {true, true, false}},
              {Key::kF4, {false, true, true}},  {Key::kF4, {}},
              {Key::kEscape, {}},               {Key::kEnter, {}},
              {Key::kSpace, {}},                {Key::kTab, {}}};
  for (bool preview : {true, false}) {
    step5_->key_preview = preview;
    for (const auto& k : keys) {
      step5_->KeyDown(k.key, k.shift);
      EXPECT_TRUE(step5_->Visible()) << static_cast<int>(k.key) << " shift " << k.shift.shift
                                     << " alt " << k.shift.alt << " preview " << preview;
    }
    step5_->CloseByFrame();  // WM_CLOSE, SC_CLOSE
    EXPECT_TRUE(step5_->Visible()) << "close request, preview " << preview;
  }
  step5_->key_preview = true;
  EXPECT_FALSE(step5_->Click("CancelButton"));
  EXPECT_TRUE(step5_->Visible());
  EXPECT_EQ(Shown("TFormExitSetup"), 0);

  bool swallow = false;
  step5_->FormKeyDown(Key::kF4, ShiftState{}, swallow);
  EXPECT_FALSE(swallow) << "F4 alone passes to the focused control";
  step5_->FormKeyDown(Key::kOther, ShiftState{false, true, false}, swallow);
  EXPECT_FALSE(swallow);

  // The driver closes it.
  step5_->Close();
  EXPECT_FALSE(step5_->Visible());
}

TEST_F(ProgressPageTest, TextsAtShowingWhileBarAndFileNameStay) {
  step5_->SetProgressPosition(40);
  step5_->ShowFileName("C:\\WINDOWS\\TEMP\\LICENSE.SWE");
  step5_->Show();
  EXPECT_EQ(step5_->caption, "Setup - Quorlin 5");
  EXPECT_EQ(step5_->Get("TitleLabel1").text, "Installing");
  EXPECT_EQ(step5_->Get("TitleLabel1").top, 9);
  EXPECT_EQ(step5_->Get("TitleLabel2").top, 25);
  EXPECT_EQ(step5_->Get("Label1").text, "Extracting files...");
  EXPECT_EQ(step5_->Get("CancelButton").text, "Cancel");
  EXPECT_FALSE(step5_->Get("CancelButton").enabled);
  EXPECT_EQ(step5_->Get("SCProgress1").position, 40);
  EXPECT_EQ(step5_->Get("Label2").text, "C:\\WINDOWS\\TEMP\\LICENSE.SWE");
  step5_->Close();
}

TEST_F(ProgressPageTest, TheBarClampsToItsRange) {
  const std::pair<int, int> cases[] = {{0, 0}, {57, 57}, {100, 100}, {101, 100},
                                       {1000, 100}, {-1, 0}, {-500, 0}};
  for (const auto& [given, shown] : cases) {
    step5_->SetProgressPosition(given);
    EXPECT_EQ(step5_->Get("SCProgress1").position, shown) << given;
  }
}

class FinishPageTest : public PagesTest {
 protected:
  void SetUp() override {
    PagesTest::SetUp();
    session::SessionState& s = session::Session();
    s.InstallDir = "C:\\QR5";
    s.SuiteTexts["001"] = "Quorlin 5";
    s.SuiteTexts["009"] = "Heraldo";
    startup_ = install::GetShellFolder(install::sfStartUp);
    desktop_ = install::GetShellFolder(install::sfDesktop);
    ASSERT_FALSE(startup_.empty());
    ASSERT_FALSE(desktop_.empty());
  }
  bool Exists(const std::string& path) {
    return Files().GetFileAttributes(path) != platform::INVALID_FILE_ATTRIBUTES;
  }
  std::string Read(const std::string& path) {
    auto file = Files().OpenFile(path, platform::OpenMode::kRead);
    if (!file) return "";
    std::string data(static_cast<size_t>(file->Size()), '\0');
    uint32_t got = 0;
    file->Read(data.data(), static_cast<uint32_t>(data.size()), &got);
    return data;
  }
  std::string StartupLink() { return startup_ + "\\Heraldo.lnk"; }
  std::string DesktopLink() { return desktop_ + "\\Quorlin 5.lnk"; }
  std::string startup_, desktop_;
};

TEST_F(FinishPageTest, FinishWithBothBoxesMakesBothShortcuts) {
  bool both_checked = false;
  std::string focused;
  Then([&] {
    both_checked = step6_->Get("CBStartup").checked && step6_->Get("CBDesktop").checked;
    focused = step6_->active_control ? step6_->active_control->name : "";
    step6_->Click("FinishButton");
  });
  EXPECT_EQ(step6_->ShowModal(), forms::mrOk);
  EXPECT_TRUE(both_checked);
  EXPECT_EQ(focused, "FinishButton");
  EXPECT_EQ(step6_->Get("CBStartup").text, "Run Quorlin 5 Heraldo at startup");
  EXPECT_EQ(step6_->Get("FinishButton").text, "&Finish");
  ASSERT_TRUE(Exists(StartupLink()));
  ASSERT_TRUE(Exists(DesktopLink()));
  EXPECT_NE(Read(StartupLink()).find("C:\\QR5\\HERALDO.EXE"), std::string::npos);
  EXPECT_NE(Read(DesktopLink()).find("C:\\QR5\\QR5.EXE"), std::string::npos);
  EXPECT_TRUE(fe_.boxes.empty());
}

TEST_F(FinishPageTest, TheCaptionsAreTheChosenLanguagesSuiteTexts) {
  session::Session().SuiteTexts["001"] = "Quorlin Cinque";
  session::Session().SuiteTexts["009"] = "Araldo";
  Then([&] { step6_->KeyDown(Key::kEnter); });  // Enter presses Finish
  EXPECT_EQ(step6_->ShowModal(), forms::mrOk);
  EXPECT_TRUE(Exists(startup_ + "\\Araldo.lnk"));
  EXPECT_TRUE(Exists(desktop_ + "\\Quorlin Cinque.lnk"));
  EXPECT_FALSE(Exists(DesktopLink()));
}

TEST_F(FinishPageTest, OnlyTheCheckedShortcutIsMade) {
  Then([&] {
    step6_->SetChecked("CBStartup", false);
    step6_->Click("FinishButton");
  });
  EXPECT_EQ(step6_->ShowModal(), forms::mrOk);
  EXPECT_FALSE(Exists(StartupLink()));
  EXPECT_TRUE(Exists(DesktopLink()));
}

TEST_F(FinishPageTest, OnlyTheStartupShortcut) {
  Then([&] {
    step6_->SetChecked("CBDesktop", false);
    step6_->Click("FinishButton");
  });
  EXPECT_EQ(step6_->ShowModal(), forms::mrOk);
  EXPECT_TRUE(Exists(StartupLink()));
  EXPECT_FALSE(Exists(DesktopLink()));
}

TEST_F(FinishPageTest, NoBoxesNoShortcuts) {
  Then([&] {
    step6_->Click("CBStartup");
    step6_->Click("CBDesktop");
    step6_->Click("FinishButton");
  });
  EXPECT_EQ(step6_->ShowModal(), forms::mrOk);
  EXPECT_FALSE(Exists(StartupLink()));
  EXPECT_FALSE(Exists(DesktopLink()));
}

TEST_F(FinishPageTest, TheCloseBoxMakesNoShortcutAndEscapeDoesNothing) {
  bool open_after_escape = false;
  Then([&] { step6_->KeyDown(Key::kEscape); });
  Then([&] {
    open_after_escape = step6_->Visible();
    step6_->CloseByFrame();
  });
  EXPECT_EQ(step6_->ShowModal(), forms::mrCancel);
  EXPECT_TRUE(open_after_escape);
  EXPECT_FALSE(Exists(StartupLink()));
  EXPECT_FALSE(Exists(DesktopLink()));
  EXPECT_EQ(Shown("TFormExitSetup"), 0);
}

// A COM layer whose shell link object cannot be created.
class NoShellLinks : public platform::Com {
 public:
  bool Initialize() override { return true; }
  void Uninitialize() override {}
  std::unique_ptr<platform::ShellLink> CreateShellLink() override { return nullptr; }
};

TEST_F(FinishPageTest, AShellLinkErrorIsShownAndThePageClosesWithOk) {
  platform::Machine broken = platform::Sys();
  NoShellLinks no_links;
  broken.com = &no_links;
  platform::Install(&broken);
  Then([&] { step6_->Click("FinishButton"); });
  const int result = step6_->ShowModal();
  platform::Install(&sim_->machine());
  EXPECT_EQ(result, forms::mrOk);
  ASSERT_EQ(fe_.boxes.size(), 1u) << "the error ends the handler: one message, not two";
  EXPECT_EQ(fe_.boxes[0].caption, "QR5_Installer");
  EXPECT_FALSE(fe_.boxes[0].text.empty());
  EXPECT_FALSE(Exists(StartupLink()));
  EXPECT_FALSE(Exists(DesktopLink()));
}

}  // namespace
}  // namespace qr5::pages
