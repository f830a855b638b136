#include <gtest/gtest.h>

#include "pages/text_file_lines.h"
#include "pages_fixture.h"

namespace qr5::pages {
namespace {

using forms::Key;
using testing::PagesTest;
using testing::ReadHostFile;

class LicensePageTest : public PagesTest {
 protected:
  std::string LicensePath() { return std::string(kTemp) + "LICENSE.ENG"; }
  // Shows the page and leaves it by Next at once; returns the memo lines.
  std::vector<std::string> ShowAndLeave() {
    Then([&] { step3_->Click("NextButton"); });
    EXPECT_EQ(step3_->ShowModal(), forms::mrOk);
    return step3_->Get("Memo1").items;
  }
};

TEST_F(LicensePageTest, TheMemoHoldsTheLicenseFileLineByLine) {
  const std::string paragraph(700, 'x');
  WriteFile(LicensePath(), paragraph + "\r\n\r\nSecond paragraph\r\nLast line");
  EXPECT_EQ(ShowAndLeave(),
            (std::vector<std::string>{paragraph, "", "Second paragraph", "Last line"}));
  EXPECT_TRUE(step3_->Get("Memo1").word_wrap) << "long paragraphs wrap, no horizontal scrolling";

  WriteFile(LicensePath(), "One\r\nTwo\r\n");
  EXPECT_EQ(ShowAndLeave(), (std::vector<std::string>{"One", "Two"}))
      << "no empty line after a final line end, nothing kept from the last showing";
}

TEST_F(LicensePageTest, TheShippedEnglishLicense) {
  const std::string text =
      ReadHostFile(std::string(QR5_SOURCE_DIR) + "/payload/suite/LICENSE.ENG");
  std::vector<std::string> expected;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    expected.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ShowAndLeave(), expected);
}

TEST_F(LicensePageTest, LoneLineFeedsAndCarriageReturnsEndLinesToo) {
  WriteFile(LicensePath(), "a\nb\rc\r\n\nd");
  EXPECT_EQ(ShowAndLeave(), (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

TEST_F(LicensePageTest, AnEmptyLicenseGivesAnEmptyMemo) {
  WriteFile(LicensePath(), "");
  EXPECT_TRUE(ShowAndLeave().empty());
  EXPECT_TRUE(fe_.boxes.empty());
}

TEST_F(LicensePageTest, AMissingLicenseIsReportedAndThePageStillOpensAccepted) {
  // Leave the page refused, then lose the license file.
  Then([&] { step3_->Click("RBDontAccept"); });
  Then([&] { step3_->Click("BackButton"); });
  EXPECT_EQ(step3_->ShowModal(), forms::mrBack);
  ASSERT_FALSE(step3_->Get("NextButton").enabled);
  ASSERT_TRUE(Files().DeleteFile(LicensePath()));

  bool next_enabled = false, accept_checked = false;
  std::string focused;
  Then([&] {
    next_enabled = step3_->Get("NextButton").enabled;
    accept_checked = step3_->Get("RBAccept").checked;
    focused = step3_->active_control ? step3_->active_control->name : "";
    step3_->CloseByFrame();
  });
  Then([&] { exit_->Click("YesButton"); });
  EXPECT_EQ(step3_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"QR5_Installer|File not found."});
  EXPECT_TRUE(step3_->Get("Memo1").items.empty());
  EXPECT_EQ(step3_->Get("TitleLabel1").text, "License Agreement") << "texts are loaded first";
  EXPECT_TRUE(next_enabled);
  EXPECT_TRUE(accept_checked);
  EXPECT_FALSE(step3_->Get("RBDontAccept").checked);
  EXPECT_EQ(focused, "NextButton");
  EXPECT_EQ(Shown("TFormExitSetup"), 1) << "the close confirmation is armed";
}

TEST_F(LicensePageTest, RefusingDisablesNextAndEnterDoesNothing) {
  bool next_after_refusal = true;
  bool click_taken = true;
  Then([&] { step3_->Click("RBDontAccept"); });
  Then([&] {
    next_after_refusal = step3_->Get("NextButton").enabled;
    step3_->Focus("RBDontAccept");
    step3_->KeyDown(Key::kEnter);
  });
  Then([&] { click_taken = step3_->Click("NextButton"); });
  Then([&] { step3_->Click("RBAccept"); });
  Then([&] {
    EXPECT_TRUE(step3_->Get("NextButton").enabled);
    step3_->KeyDown(Key::kEnter);
  });
  EXPECT_EQ(step3_->ShowModal(), forms::mrOk);
  EXPECT_FALSE(next_after_refusal);
  EXPECT_FALSE(click_taken);
  EXPECT_TRUE(fe_.steps.empty());
}

TEST_F(LicensePageTest, BackAndNextBringThePageBackAccepted) {
  Then([&] { step3_->Click("RBDontAccept"); });
  Then([&] { step3_->Click("BackButton"); });
  EXPECT_EQ(step3_->ShowModal(), forms::mrBack);
  EXPECT_TRUE(step3_->Get("RBDontAccept").checked);

  // Next on the welcome page, then the license page again.
  Then([&] { step2_->Click("NextButton"); });
  EXPECT_EQ(step2_->ShowModal(), forms::mrOk);
  bool accepted = false, next_enabled = false;
  Then([&] {
    accepted = step3_->Get("RBAccept").checked && !step3_->Get("RBDontAccept").checked;
    next_enabled = step3_->Get("NextButton").enabled;
    step3_->KeyDown(Key::kEnter);
  });
  EXPECT_EQ(step3_->ShowModal(), forms::mrOk);
  EXPECT_TRUE(accepted);
  EXPECT_TRUE(next_enabled);
}

TEST_F(LicensePageTest, ReadingLinesReportsTheErrorCode) {
  std::vector<std::string> lines;
  EXPECT_EQ(ReadTextFileLines("C:\\nowhere\\LICENSE.ENG", &lines),
            platform::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(ReadTextFileLines("C:\\LICENSE.XXX", &lines), platform::ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(InOutErrorText(platform::ERROR_FILE_NOT_FOUND), "File not found");
  EXPECT_FALSE(InOutErrorText(platform::ERROR_NOT_READY).empty());
}

}  // namespace
}  // namespace qr5::pages
