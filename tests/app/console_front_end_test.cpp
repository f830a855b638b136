#include "front_ends/console/console_front_end.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "forms/application.h"
#include "forms/form.h"
#include "platform/platform.h"

namespace qr5::front_ends {
namespace {

using forms::App;
using forms::Control;
using forms::ControlKind;
using forms::Form;

Control& AddControl(Form& form, const std::string& name, ControlKind kind,
                    const std::string& text = "") {
  Control c;
  c.name = name;
  c.kind = kind;
  c.text = text;
  return form.Add(std::move(c));
}

class Page : public Form {
 public:
  Page() : Form("TPage") {
    caption = "Setup - &Page";
    AddControl(*this, "Title", ControlKind::kLabel, "Hello");
    AddControl(*this, "Picture", ControlKind::kImage).picture = "welcome";
    Control& agree = AddControl(*this, "Agree", ControlKind::kCheckBox, "I &agree");
    agree.tab_stop = true;
    AddControl(*this, "RadioA", ControlKind::kRadioButton, "A").checked = true;
    AddControl(*this, "RadioB", ControlKind::kRadioButton, "B");
    Control& combo = AddControl(*this, "LangCombo", ControlKind::kComboBox);
    combo.items = {"English", "Italiano", "Suomi"};
    combo.item_index = 0;
    combo.text = "English";
    AddControl(*this, "Memo1", ControlKind::kMemo).items = {"line one", "line two"};
    AddControl(*this, "Edit1", ControlKind::kEdit, "C:\\QR5").tab_stop = true;
    AddControl(*this, "Bar", ControlKind::kProgressBar).position = 42;
    AddControl(*this, "Hidden", ControlKind::kLabel, "never").visible = false;
    Control& back = AddControl(*this, "BackButton", ControlKind::kButton, "< &Back");
    back.modal_result = forms::mrBack;
    back.enabled = false;
    Control& next = AddControl(*this, "NextButton", ControlKind::kButton, "&Next >");
    next.modal_result = forms::mrOk;
    next.is_default = true;
    next.tab_stop = true;
    Control& cancel = AddControl(*this, "CancelButton", ControlKind::kButton, "Cancel");
    cancel.modal_result = forms::mrCancel;
    cancel.is_cancel = true;
  }
  int close_queries = 0;
  void FormClose(forms::CloseAction&) override { ++close_queries; }
};

class ConsoleTest : public ::testing::Test {
 protected:
  void TearDown() override { App().Reset(); }
  // Runs page modally over the given input lines.
  int Run(const std::string& input) {
    in.str(input);
    console = std::make_unique<ConsoleFrontEnd>(in, out);
    App().Reset();
    App().title = "QR5_Installer";
    App().SetFrontEnd(console.get());
    return page.ShowModal();
  }
  std::istringstream in;
  std::ostringstream out;
  std::unique_ptr<ConsoleFrontEnd> console;
  Page page;
};

TEST_F(ConsoleTest, PrintsTheShownFormWithEveryVisibleControl) {
  Run("");
  const std::string text = out.str();
  EXPECT_NE(text.find("=== TPage: Setup - Page ===\n"), std::string::npos);
  EXPECT_NE(text.find("  Title (label) \"Hello\"\n"), std::string::npos);
  EXPECT_NE(text.find("  Picture (image) welcome\n"), std::string::npos);
  EXPECT_NE(text.find("  Agree (checkbox) [ ] \"I agree\" [Alt+A] <focus>\n"), std::string::npos);
  EXPECT_NE(text.find("  RadioA (radio) (*) \"A\"\n"), std::string::npos);
  EXPECT_NE(text.find("  RadioB (radio) ( ) \"B\"\n"), std::string::npos);
  EXPECT_NE(text.find("  LangCombo (combo) \"English\"\n    > 0: English\n      1: Italiano\n"
                      "      2: Suomi\n"),
            std::string::npos);
  EXPECT_NE(text.find("  Memo1 (memo) \"\"\n    | line one\n    | line two\n"), std::string::npos);
  EXPECT_NE(text.find("  Edit1 (edit) \"C:\\QR5\"\n"), std::string::npos);
  EXPECT_NE(text.find("  Bar (progress) 42%\n"), std::string::npos);
  EXPECT_NE(text.find("  BackButton (button) \"< Back\" [Alt+B] (disabled)\n"), std::string::npos);
  EXPECT_NE(text.find("  NextButton (button) \"Next >\" [Alt+N] default\n"), std::string::npos);
  EXPECT_NE(text.find("  CancelButton (button) \"Cancel\" cancel\n"), std::string::npos);
  EXPECT_EQ(text.find("Hidden"), std::string::npos);
}

TEST_F(ConsoleTest, ActionsReachTheControls) {
  const int result = Run(
      "check Agree\n"
      "click RadioB\n"
      "select LangCombo Suomi\n"
      "select LangCombo 1\n"
      "type Edit1 D:\\Program Files\\Ham \n"
      "focus NextButton\n"
      "key Enter\n");
  EXPECT_EQ(result, forms::mrOk);
  EXPECT_TRUE(page.Get("Agree").checked);
  EXPECT_TRUE(page.Get("RadioB").checked);
  EXPECT_FALSE(page.Get("RadioA").checked);
  EXPECT_EQ(page.Get("LangCombo").item_index, 1);
  EXPECT_EQ(page.Get("Edit1").text, "D:\\Program Files\\Ham ");
  EXPECT_EQ(out.str().find("error:"), std::string::npos) << out.str();
  // The changed form is printed again before the next action is read.
  EXPECT_NE(out.str().find("  Agree (checkbox) [x] \"I agree\" [Alt+A] <focus>\n"),
            std::string::npos);
}

TEST_F(ConsoleTest, ErrorsTakeOneLineAndTheNextLineIsRead) {
  const int result = Run(
      "dance NextButton\n"
      "click NoSuchButton\n"
      "click BackButton\n"
      "click Title\n"
      "select LangCombo Klingon\n"
      "key Ctrl+Q\n"
      "# a comment\n"
      "\n"
      "click CancelButton\n");
  EXPECT_EQ(result, forms::mrCancel);
  EXPECT_EQ(page.close_queries, 1);
  const std::string text = out.str();
  EXPECT_NE(text.find("error: unknown action \"dance\""), std::string::npos);
  EXPECT_NE(text.find("error: no control NoSuchButton on TPage\n"), std::string::npos);
  EXPECT_NE(text.find("error: BackButton is disabled\n"), std::string::npos);
  EXPECT_NE(text.find("error: cannot click Title (a label)\n"), std::string::npos);
  EXPECT_NE(text.find("error: no entry Klingon in LangCombo\n"), std::string::npos);
  EXPECT_NE(text.find("error: unknown key \"Ctrl+Q\""), std::string::npos);
}

TEST_F(ConsoleTest, KeysAndTheCloseBox) {
  EXPECT_EQ(Run("key Escape\n"), forms::mrCancel);
  EXPECT_EQ(Run("key Tab\nkey Tab\nkey Enter\n"), forms::mrOk);  // Edit1, then NextButton
  EXPECT_EQ(page.active_control, page.Find("NextButton"));
  EXPECT_EQ(Run("key Alt+F4\n"), forms::mrCancel);
  EXPECT_EQ(Run("key Alt+Shift+F4\n"), forms::mrCancel);
  EXPECT_EQ(Run("key alt+n\n"), forms::mrOk);
  EXPECT_EQ(Run("close\n"), forms::mrCancel);
  EXPECT_EQ(page.close_queries, 6);
  page.close_box = false;
  EXPECT_EQ(Run("close\nkey F4\n"), forms::mrCancel);  // end of input
  EXPECT_NE(out.str().find("error: TPage has no close box\n"), std::string::npos);
  EXPECT_EQ(page.close_queries, 6);
}

TEST_F(ConsoleTest, EndOfInputRequestsTermination) {
  EXPECT_EQ(Run("check Agree\n"), forms::mrCancel);
  EXPECT_TRUE(App().Terminated());
  EXPECT_EQ(page.close_queries, 0);
  EXPECT_FALSE(page.Visible());
}

TEST_F(ConsoleTest, MessageBoxesPrintRecordAndAnswerFromInput) {
  int yes_no = 0, ok = 0;
  page.Get("Agree").on_click = [&] {
    yes_no = App().MessageBox("Leave?", "Exit", platform::MB_YESNO | platform::MB_ICONQUESTION);
    ok = App().MessageBox("Done", "Info", platform::MB_OK);
  };
  EXPECT_EQ(Run("click Agree\nmaybe\nyes\nclick NextButton\n"), forms::mrOk);
  EXPECT_EQ(yes_no, platform::IDYES);
  EXPECT_EQ(ok, platform::IDOK);
  ASSERT_EQ(console->message_boxes.size(), 2u);
  EXPECT_EQ(console->message_boxes[0].caption, "Exit");
  EXPECT_EQ(console->message_boxes[0].text, "Leave?");
  EXPECT_EQ(console->message_boxes[0].answer, platform::IDYES);
  EXPECT_EQ(console->message_boxes[1].answer, platform::IDOK);
  EXPECT_NE(out.str().find("--- message box: Exit ---\nLeave?\n[yes] [no]\nerror: answer yes or no\n"),
            std::string::npos);
}

TEST_F(ConsoleTest, AQuestionAtTheEndOfInputAnswersNoAndEndsTheRun) {
  int answer = 0;
  page.Get("Agree").on_click = [&] { answer = App().MessageBox("Leave?", "Exit", platform::MB_YESNO); };
  EXPECT_EQ(Run("click Agree\n"), forms::mrCancel);
  EXPECT_EQ(answer, platform::IDNO);
  EXPECT_TRUE(App().Terminated());
}

TEST_F(ConsoleTest, AnExceptionInAHandlerIsShownAndTheRunGoesOn) {
  page.Get("Agree").on_click = [] { throw std::runtime_error("Unable to write to C:\\X.INI"); };
  EXPECT_EQ(Run("click Agree\nclick NextButton\n"), forms::mrOk);
  ASSERT_EQ(console->message_boxes.size(), 1u);
  EXPECT_EQ(console->message_boxes[0].text, "Unable to write to C:\\X.INI.");
  EXPECT_EQ(console->message_boxes[0].caption, "QR5_Installer");
  EXPECT_EQ(console->message_boxes[0].flags, platform::MB_OK | platform::MB_ICONERROR);
}

TEST_F(ConsoleTest, ADialogOverAPageTakesTheActionsAndThePageReturns) {
  Page dialog;
  dialog.class_name = "TDialog";
  int dialog_result = 0;
  page.Get("Agree").on_click = [&] {
    dialog_result = dialog.ShowModal();
    page.Get("Title").text = "Chosen";
    page.Changed();
  };
  EXPECT_EQ(Run("click Agree\nkey Escape\nclick NextButton\n"), forms::mrOk);
  EXPECT_EQ(dialog_result, forms::mrCancel);
  EXPECT_EQ(dialog.close_queries, 1);
  EXPECT_EQ(page.close_queries, 1);
  // The page is printed again when it is back in front.
  const std::string text = out.str();
  const size_t dialog_at = text.find("=== TDialog");
  ASSERT_NE(dialog_at, std::string::npos);
  // Output about the page after the dialog's comes with the page's caption.
  const size_t back = text.find("=== TPage: Setup - Page === (updated)\n", dialog_at);
  ASSERT_NE(back, std::string::npos) << text;
  EXPECT_EQ(text.find("  Title (label) \"Chosen\""), text.find("  Title (label) \"Chosen\"", back));
}

TEST_F(ConsoleTest, WorkWithoutInputPrintsOnlyWhatChanged) {
  std::istringstream none("");
  std::ostringstream printed;
  ConsoleFrontEnd console_only(none, printed);
  App().Reset();
  App().SetFrontEnd(&console_only);
  page.Show();
  printed.str("");
  page.Get("Bar").position = 77;
  page.Changed();
  page.Get("Title").text = "Copying QR5.EXE";
  App().ProcessMessages();
  App().ProcessMessages();  // nothing new
  EXPECT_EQ(printed.str(), "  Bar (progress) 77%\n  Title (label) \"Copying QR5.EXE\"\n");
  page.Hide();
}

TEST_F(ConsoleTest, AfterAnActionOnlyChangesArePrintedUnlessTheFormChangedShape) {
  page.Get("Agree").on_click = [&] {
    page.Get("LangCombo").items.push_back("Svenska");  // one line more
  };
  EXPECT_EQ(Run("click RadioB\ncheck Agree\nkey Enter\n"), forms::mrOk);
  const std::string text = out.str();
  // The radio click printed the three lines that changed (the focus left
  // the check box); the new combo entry made the whole form print again.
  EXPECT_NE(text.find("  Agree (checkbox) [ ] \"I agree\" [Alt+A]\n  RadioA (radio) ( ) \"A\"\n"
                      "  RadioB (radio) (*) \"B\" <focus>\n=== TPage: Setup - Page === (updated)\n"),
            std::string::npos)
      << text;
  const size_t updated = text.find("=== TPage: Setup - Page === (updated)\n");
  EXPECT_NE(text.find("      3: Svenska\n", updated), std::string::npos);
  EXPECT_EQ(text.find("=== TPage", updated + 1), std::string::npos);
}

TEST_F(ConsoleTest, TheConsoleSpeaksUtf8AndTheFormsAnsi) {
  Control& combo = page.Get("LangCombo");
  combo.items[1] = "Fran\xE7" "ais";  // Windows-1252
  EXPECT_EQ(Run("select LangCombo Fran\xC3\xA7" "ais\ntype Edit1 C:\\Radio\xC3\xA9\nkey Enter\n"),
            forms::mrOk);
  EXPECT_EQ(combo.item_index, 1);
  EXPECT_EQ(page.Get("Edit1").text, "C:\\Radio\xE9");
  EXPECT_NE(out.str().find("      1: Fran\xC3\xA7" "ais\n"), std::string::npos);
}

}  // namespace
}  // namespace qr5::front_ends
