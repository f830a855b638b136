// The dialog manager's keys in the form model: what both front ends rely on.
#include <gtest/gtest.h>

#include <tuple>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/scripted_front_end.h"

namespace qr5::forms {
namespace {

// A license-like page: Next (default), Cancel (cancel), a memo, a radio
// group, a check box, Back and Browse sharing the mnemonic B, an edit, a
// read-only field and a combo. Every click is counted by name.
class KeyPage : public Form {
 public:
  KeyPage() : Form("TKeyPage") {
    Button("NextButton", "&Next >", mrOk).is_default = true;
    Button("CancelButton", "Cancel", mrCancel).is_cancel = true;
    Stop(Make("Memo1", ControlKind::kMemo, ""));
    Radio("RBAccept", "I &accept", true);
    Radio("RBDontAccept", "I &do not accept", false);
    Stop(Make("Check1", ControlKind::kCheckBox, "&Startup"));
    Button("BackButton", "< &Back", mrBack);
    Button("BrowseButton", "&Browse...", mrNone);
    Stop(Make("Edit1", ControlKind::kEdit, ""));
    Control folder = Make("Folder", ControlKind::kEdit, "C:\\QR5");
    folder.read_only = true;
    Stop(std::move(folder));
    Control combo = Make("Combo1", ControlKind::kComboBox, "");
    combo.items = {"Deutsch", "English", "Italiano"};
    combo.item_index = 1;
    Stop(std::move(combo));
  }
  int closes = 0;
  bool refuse_close = false;
  std::vector<std::string> clicks;
  void FormShow() override { SetFocus("NextButton"); }
  void FormClose(CloseAction& action) override {
    ++closes;
    if (refuse_close) action = CloseAction::kNone;
  }
  std::string Focused() const { return active_control ? active_control->name : ""; }

 private:
  static Control Make(std::string name, ControlKind kind, std::string text) {
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.text = std::move(text);
    c.tab_stop = true;
    return c;
  }
  Control& Stop(Control c) {
    Control& added = Add(std::move(c));
    const std::string name = added.name;
    added.on_click = [this, name] { clicks.push_back(name); };
    return added;
  }
  Control& Button(const char* name, const char* text, int result) {
    Control& c = Stop(Make(name, ControlKind::kButton, text));
    c.modal_result = result;
    return c;
  }
  void Radio(const char* name, const char* text, bool checked) {
    Control& c = Stop(Make(name, ControlKind::kRadioButton, text));
    c.group = 1;
    c.checked = checked;
  }
};

class DialogKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App().Reset();
    App().SetFrontEnd(&fe);
    page.Show();
    page.FormShow();
  }
  void TearDown() override { App().Reset(); }
  testing::ScriptedFrontEnd fe;
  KeyPage page;
};

TEST_F(DialogKeysTest, EscapePressesCancelWithoutMovingTheFocusSoEnterStillMeansNext) {
  page.refuse_close = true;  // the user answers No to the exit question
  fe.steps.push_back([&] { page.KeyDown(Key::kEscape); });
  fe.steps.push_back([&] {
    EXPECT_EQ(page.Focused(), "NextButton");
    EXPECT_EQ(page.DefaultFramed(), page.Find("NextButton"));
    page.refuse_close = false;
    page.KeyDown(Key::kEnter);
  });
  page.Hide();
  EXPECT_EQ(page.ShowModal(), mrOk);
  EXPECT_EQ(page.closes, 2);
  EXPECT_EQ(page.clicks, (std::vector<std::string>{"CancelButton", "NextButton"}));
}

TEST_F(DialogKeysTest, TheDefaultFrameFollowsTheFocusAndEnterPressesItInPlace) {
  page.Focus("BackButton");
  EXPECT_EQ(page.DefaultFramed(), page.Find("BackButton"));
  page.Focus("Edit1");
  EXPECT_EQ(page.DefaultFramed(), page.Find("NextButton"));
  page.KeyDown(Key::kEnter);
  EXPECT_EQ(page.modal_result, mrOk);
  EXPECT_EQ(page.Focused(), "Edit1");  // pressed where it stands
  page.modal_result = mrNone;
  page.Get("NextButton").enabled = false;  // a refused agreement
  page.KeyDown(Key::kEnter);
  EXPECT_EQ(page.modal_result, mrNone);
  EXPECT_EQ(page.clicks, std::vector<std::string>{"NextButton"});
}

TEST_F(DialogKeysTest, ARadioGroupIsOneTabStopAndTheArrowsMoveAndSelectInIt) {
  page.Focus("Memo1");
  page.KeyDown(Key::kTab);
  EXPECT_EQ(page.Focused(), "RBAccept");
  page.KeyDown(Key::kTab);
  EXPECT_EQ(page.Focused(), "Check1");  // RBDontAccept is no stop of its own
  page.KeyDown(Key::kTab, {.shift = true});
  page.KeyDown(Key::kDown);
  EXPECT_EQ(page.Focused(), "RBDontAccept");
  EXPECT_TRUE(page.Get("RBDontAccept").checked);
  EXPECT_FALSE(page.Get("RBAccept").checked);
  page.KeyDown(Key::kTab);
  page.KeyDown(Key::kTab, {.shift = true});  // back onto the checked one
  EXPECT_EQ(page.Focused(), "RBDontAccept");
  page.KeyDown(Key::kRight);  // wraps round the group
  EXPECT_EQ(page.Focused(), "RBAccept");
  EXPECT_TRUE(page.Get("RBAccept").checked);
  page.KeyDown(Key::kUp, {.alt = true});  // not for the group
  EXPECT_EQ(page.Focused(), "RBAccept");
  EXPECT_EQ(page.clicks, (std::vector<std::string>{"RBDontAccept", "RBAccept"}));
}

TEST_F(DialogKeysTest, SpacePressesTheFocusedControlAndArrowsStepThroughACombo) {
  page.Focus("Check1");
  page.KeyDown(Key::kSpace);
  EXPECT_TRUE(page.Get("Check1").checked);
  page.Focus("Edit1");
  page.KeyDown(Key::kSpace);  // an edit takes it as a character
  page.Focus("BackButton");
  page.KeyDown(Key::kSpace);
  EXPECT_EQ(page.modal_result, mrBack);
  EXPECT_EQ(page.clicks, (std::vector<std::string>{"Check1", "BackButton"}));
  page.Focus("Combo1");
  page.KeyDown(Key::kDown);
  page.KeyDown(Key::kDown);  // already the last entry
  EXPECT_EQ(page.Get("Combo1").text, "Italiano");
  page.KeyDown(Key::kUp);
  EXPECT_EQ(page.Get("Combo1").item_index, 1);
}

TEST_F(DialogKeysTest, AMnemonicWorksWithoutAltUnlessTheFocusTakesLetters) {
  page.Focus("Edit1");
  EXPECT_FALSE(page.KeyChar('s'));
  page.Focus("Folder");  // a read-only field is an edit too
  EXPECT_FALSE(page.KeyChar('s'));
  EXPECT_TRUE(page.clicks.empty());
  EXPECT_TRUE(page.PressAccelerator('s'));  // with Alt it works there
  EXPECT_TRUE(page.Get("Check1").checked);
  page.Focus("CancelButton");
  EXPECT_TRUE(page.KeyChar('d'));
  EXPECT_TRUE(page.Get("RBDontAccept").checked);
  EXPECT_FALSE(page.KeyChar('z'));
  EXPECT_TRUE(page.KeyChar('N'));
  EXPECT_EQ(page.modal_result, mrOk);
  EXPECT_EQ(page.clicks, (std::vector<std::string>{"Check1", "RBDontAccept", "NextButton"}));
}

TEST_F(DialogKeysTest, ASharedMnemonicMovesTheFocusBetweenItsControlsAndPressesNone) {
  page.Focus("Check1");
  EXPECT_TRUE(page.KeyChar('b'));
  EXPECT_EQ(page.Focused(), "BackButton");
  EXPECT_TRUE(page.PressAccelerator('B'));
  EXPECT_EQ(page.Focused(), "BrowseButton");
  EXPECT_TRUE(page.KeyChar('b'));  // round to the first again
  EXPECT_EQ(page.Focused(), "BackButton");
  EXPECT_TRUE(page.clicks.empty());
  EXPECT_EQ(page.modal_result, mrNone);
  page.Get("BrowseButton").enabled = false;  // now B is unique: pressed
  EXPECT_TRUE(page.KeyChar('b'));
  EXPECT_EQ(page.modal_result, mrBack);
}

// Enter in the read-only memo presses the default button; the arrows on a
// push button move the focus round the buttons of its group, pressing none.
TEST_F(DialogKeysTest, EnterInTheMemoAndArrowsAmongPushButtons) {
  page.Focus("Memo1");
  page.KeyDown(Key::kEnter);
  EXPECT_EQ(page.modal_result, mrOk);
  page.modal_result = mrNone;
  page.Focus("NextButton");
  const struct {
    Key key;
    const char* focused;
  } rows[] = {{Key::kRight, "CancelButton"}, {Key::kDown, "BackButton"}, {Key::kDown, "BrowseButton"},
              {Key::kRight, "NextButton"},   {Key::kUp, "BrowseButton"}, {Key::kLeft, "BackButton"}};
  for (const auto& row : rows) {
    page.KeyDown(row.key);
    EXPECT_EQ(page.Focused(), row.focused);
  }
  page.Get("BrowseButton").group = 2;  // a group of its own: the arrows keep it
  page.Focus("BrowseButton");
  page.KeyDown(Key::kRight);
  EXPECT_EQ(page.Focused(), "BrowseButton");
  EXPECT_EQ(page.clicks, std::vector<std::string>{"NextButton"});
  EXPECT_EQ(page.modal_result, mrNone);
}

// Yes and No buttons answer their first letter when their texts mark none,
// as a Yes/No message box does; a marked letter elsewhere still wins.
TEST(DialogKeysYesNo, YesAndNoAnswerTheirFirstLetter) {
  App().Reset();
  testing::ScriptedFrontEnd fe;
  App().SetFrontEnd(&fe);
  Form box("TBox");
  for (auto [name, text, result] : {std::tuple{"YesButton", "Yes", mrYes}, {"NoButton", "No", mrNo}}) {
    Control c;
    c.name = name;
    c.kind = ControlKind::kButton;
    c.text = text;
    c.modal_result = result;
    c.tab_stop = true;
    box.Add(std::move(c)).is_default = result == mrNo;
  }
  const struct {
    char letter;
    bool answered;
    int result;
  } rows[] = {{'y', true, mrYes}, {'N', true, mrNo}, {'x', false, mrNone}, {'Y', true, mrYes}};
  for (const auto& row : rows) {
    box.modal_result = mrNone;
    box.SetFocus("NoButton");
    EXPECT_EQ(box.KeyChar(row.letter), row.answered) << row.letter;
    EXPECT_EQ(box.modal_result, row.result) << row.letter;
  }
  box.Get("NoButton").text = "&Not now";  // marked letters: the plain rule
  box.modal_result = mrNone;
  EXPECT_TRUE(box.KeyChar('n'));
  EXPECT_EQ(box.modal_result, mrNo);
  App().Reset();
}

TEST_F(DialogKeysTest, AReadOnlyFieldIsATabStopThatCannotBeTypedInto) {
  page.Focus("Edit1");
  page.KeyDown(Key::kTab);
  EXPECT_EQ(page.Focused(), "Folder");
  EXPECT_FALSE(page.TypeText("Folder", "D:\\Other"));
  EXPECT_EQ(page.Get("Folder").text, "C:\\QR5");
}

}  // namespace
}  // namespace qr5::forms
