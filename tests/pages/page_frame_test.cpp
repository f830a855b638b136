// The frame common to the pages: texts from the chosen language file at
// every showing, and the exit confirmation before a page is left.
#include <gtest/gtest.h>

#include "pages_fixture.h"

namespace qr5::pages {
namespace {

using forms::Key;
using testing::PagesTest;
using testing::ReadHostFile;

using PageFrameTest = PagesTest;

TEST_F(PageFrameTest, ClosingTheWelcomePageThroughTheFrameAsks) {
  bool open_after_no = false;
  std::string title_after_no;
  Then([&] { step2_->CloseByFrame(); });
  Then([&] { exit_->Click("NoButton"); });
  Then([&] {
    open_after_no = step2_->Visible();
    title_after_no = step2_->Get("LabelWelcomeTitle").text;
    step2_->CloseByFrame();
  });
  Then([&] { exit_->Click("YesButton"); });
  EXPECT_EQ(step2_->ShowModal(), forms::mrCancel);
  EXPECT_TRUE(open_after_no);
  EXPECT_EQ(title_after_no, "Welcome to the Quorlin 5 Setup Wizard");
  EXPECT_EQ(Shown("TFormExitSetup"), 2);
  EXPECT_TRUE(fe_.steps.empty());
}

TEST_F(PageFrameTest, CancelOnTheWelcomePageAsksAndYesGivesCancel) {
  Then([&] { step2_->Click("CancelButton"); });
  Then([&] { exit_->Click("YesButton"); });
  EXPECT_EQ(step2_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(Shown("TFormExitSetup"), 1);
}

TEST_F(PageFrameTest, TheExitDialogCountsItsFrameAndEnterAsNoAndIgnoresEscape) {
  bool open_after_escape = false;
  std::string exit_texts;
  Then([&] { step2_->CloseByFrame(); });
  Then([&] {
    exit_texts = exit_->caption + "|" + exit_->Get("Label3").text + "|" +
                 exit_->Get("YesButton").text + "|" + exit_->Get("NoButton").text + "|" +
                 (exit_->active_control ? exit_->active_control->name : "");
    exit_->KeyDown(Key::kEscape);
  });
  Then([&] {
    open_after_escape = exit_->Visible();
    exit_->KeyDown(Key::kEnter);
  });
  Then([&] { step2_->KeyDown(Key::kEscape); });
  Then([&] { exit_->CloseByFrame(); });
  Then([&] { step2_->Click("NextButton"); });
  EXPECT_EQ(step2_->ShowModal(), forms::mrOk);
  EXPECT_TRUE(open_after_escape);
  // The English file spells the key "Nobutton".
  EXPECT_EQ(exit_texts, "Exit Setup|Exit Setup?|Yes|No|NoButton");
  EXPECT_EQ(Shown("TFormExitSetup"), 2);
}

TEST_F(PageFrameTest, NextAndBackNeverAsk) {
  Then([&] { step2_->Click("NextButton"); });
  EXPECT_EQ(step2_->ShowModal(), forms::mrOk);
  Then([&] { step3_->Click("NextButton"); });
  EXPECT_EQ(step3_->ShowModal(), forms::mrOk);
  Then([&] { step3_->Click("BackButton"); });
  EXPECT_EQ(step3_->ShowModal(), forms::mrBack);
  Then([&] { step4_->Click("BackButton"); });
  EXPECT_EQ(step4_->ShowModal(), forms::mrBack);
  Then([&] { step2_->KeyDown(Key::kEnter); });
  EXPECT_EQ(step2_->ShowModal(), forms::mrOk);
  EXPECT_EQ(Shown("TFormExitSetup"), 0);
}

TEST_F(PageFrameTest, EscapeOnTheLicensePageAsksAsCancelDoes) {
  Then([&] { step3_->KeyDown(Key::kEscape); });
  Then([&] { exit_->Click("NoButton"); });
  Then([&] { step3_->KeyDown(Key::kEscape); });
  Then([&] { exit_->Click("YesButton"); });
  EXPECT_EQ(step3_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(Shown("TFormExitSetup"), 2);
}

TEST_F(PageFrameTest, AWithdrawnCloseStillAsksTheNextTime) {
  // A close refused in the exit dialog leaves the confirmation armed.
  Then([&] { step3_->CloseByFrame(); });
  Then([&] { exit_->Click("NoButton"); });
  Then([&] { step3_->CloseByFrame(); });
  Then([&] { exit_->Click("NoButton"); });
  Then([&] { step3_->Click("BackButton"); });
  EXPECT_EQ(step3_->ShowModal(), forms::mrBack);
  EXPECT_EQ(Shown("TFormExitSetup"), 2);
}

TEST_F(PageFrameTest, APendingTerminationEndsAPageWithCancelWithoutAsking) {
  forms::App().Terminate();
  EXPECT_EQ(step2_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(Shown("TFormExitSetup"), 0);
}

TEST_F(PageFrameTest, TextsComeFromTheLanguageFileAtEveryShowing) {
  SetInstallerText("CancelButton", "Abort");
  Then([&] { step2_->Click("NextButton"); });
  step2_->ShowModal();
  EXPECT_EQ(step2_->caption, "Setup - Quorlin 5");
  EXPECT_EQ(step2_->Get("NextButton").text, "&Next >");
  // The welcome page's Cancel is the language page's word, [Setup] "023".
  EXPECT_EQ(step2_->Get("CancelButton").text, "Cancel");
  EXPECT_EQ(step2_->Get("LabelCaption3").text,
            "Click Next to continue, or Cancel to exit Setup.");

  Then([&] { step3_->Click("NextButton"); });
  step3_->ShowModal();
  EXPECT_EQ(step3_->Get("CancelButton").text, "Abort");
  EXPECT_EQ(step3_->Get("RBAccept").text, "I &accept the agreement");

  SetInstallerText("2_001", "Hello again");
  Then([&] { step2_->Click("NextButton"); });
  step2_->ShowModal();
  EXPECT_EQ(step2_->Get("LabelWelcomeTitle").text, "Hello again");
}

TEST_F(PageFrameTest, AMissingKeyGivesAnEmptyText) {
  // Rewrite the language file without "NextButton".
  std::string text = ReadHostFile(std::string(QR5_SOURCE_DIR) + "/payload/suite/language.eng");
  const std::string line = "NextButton=&Next >\r\n";
  const size_t at = text.find(line);
  ASSERT_NE(at, std::string::npos);
  text.erase(at, line.size());
  WriteFile(session::Session().LanguageFilePath, text);

  step2_->Get("NextButton").text = "built in";
  Then([&] { step2_->Click("NextButton"); });
  EXPECT_EQ(step2_->ShowModal(), forms::mrOk) << "the page still works";
  EXPECT_EQ(step2_->Get("NextButton").text, "");
  EXPECT_EQ(step2_->Get("LabelWelcomeTitle").text, "Welcome to the Quorlin 5 Setup Wizard");
}

TEST_F(PageFrameTest, NoLanguageFileGivesEmptyTextsAndWorkingPages) {
  session::Session().LanguageFilePath = "";
  Then([&] { step2_->CloseByFrame(); });
  Then([&] {
    EXPECT_EQ(exit_->Get("YesButton").text, "");
    exit_->Click("YesButton");
  });
  EXPECT_EQ(step2_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(step2_->caption, "");
  EXPECT_EQ(step2_->Get("CancelButton").text, "");
}

TEST_F(PageFrameTest, TheFrameLayout) {
  for (forms::Form* page : std::vector<forms::Form*>{step2_.get(), step3_.get(), step4_.get(),
                                                  step5_.get(), step6_.get()}) {
    SCOPED_TRACE(page->class_name);
    EXPECT_EQ(page->client_width, 494);
    EXPECT_EQ(page->client_height, 358);
    EXPECT_EQ(page->border, forms::BorderStyle::kSingle);
    for (const char* name : {"BackButton", "NextButton", "FinishButton", "CancelButton"}) {
      if (const forms::Control* b = page->Find(name)) {
        EXPECT_EQ(b->top, 326) << name;
        EXPECT_EQ(b->width, 75) << name;
        EXPECT_EQ(b->height, 23) << name;
      }
    }
  }
  // Next touches Back.
  const forms::Control& back = step3_->Get("BackButton");
  EXPECT_EQ(back.left + back.width, step3_->Get("NextButton").left);
  EXPECT_EQ(step3_->Get("CancelButton").left, 414);
  EXPECT_EQ(step2_->Find("BackButton"), nullptr) << "no Back on the welcome page";
  EXPECT_FALSE(step5_->system_menu);
  EXPECT_TRUE(step2_->system_menu && step2_->minimize_box && step6_->close_box);
  EXPECT_EQ(exit_->client_width, 463);
  EXPECT_EQ(exit_->client_height, 125);
  EXPECT_EQ(exit_->border, forms::BorderStyle::kDialog);
  EXPECT_FALSE(exit_->minimize_box);
  EXPECT_TRUE(exit_->Get("NoButton").is_default);
  for (const auto& c : exit_->Controls()) EXPECT_FALSE(c->is_cancel) << c->name;
}

}  // namespace
}  // namespace qr5::pages
