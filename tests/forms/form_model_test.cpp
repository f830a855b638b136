#include <gtest/gtest.h>

#include <stdexcept>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/scripted_front_end.h"

namespace qr5::forms {
namespace {

using testing::ScriptedFrontEnd;

Control Make(std::string name, ControlKind kind, std::string text = "") {
  Control c;
  c.name = std::move(name);
  c.kind = kind;
  c.text = std::move(text);
  return c;
}

// A page with Back/Next/Cancel, a memo, an edit, a check box and two radio
// groups; its close query and key preview are scriptable.
class TestPage : public Form {
 public:
  TestPage() : Form("TTestPage") {
    caption = "Page";
    Add(Make("Memo1", ControlKind::kMemo)).tab_stop = true;
    Add(Make("Edit1", ControlKind::kEdit)).tab_stop = true;
    Add(Make("Check1", ControlKind::kCheckBox, "&Agree")).tab_stop = true;
    Radio("RadioA", 1, true);
    Radio("RadioB", 1, false);
    Radio("RadioC", 2, true);
    Button("BackButton", "< &Back", mrBack);
    Button("NextButton", "&Next >", mrOk).is_default = true;
    Button("CancelButton", "Cancel", mrCancel).is_cancel = true;
    Add(Make("Label1", ControlKind::kLabel, "&Label"));
  }
  Control& Radio(const char* name, int group, bool checked) {
    Control& c = Add(Make(name, ControlKind::kRadioButton));
    c.group = group;
    c.checked = checked;
    return c;
  }
  Control& Button(const char* name, const char* text, int result) {
    Control& c = Add(Make(name, ControlKind::kButton, text));
    c.modal_result = result;
    c.tab_stop = true;
    return c;
  }
  int shows = 0;
  int close_queries = 0;
  bool refuse_close = false;
  bool swallow_escape = false;
  std::vector<Key> previewed;
  void FormShow() override {
    ++shows;
    SetFocus("NextButton");
  }
  void FormClose(CloseAction& action) override {
    ++close_queries;
    if (refuse_close) {
      refuse_close = false;
      action = CloseAction::kNone;
    }
  }
  void FormKeyDown(Key key, ShiftState, bool& swallow) override {
    previewed.push_back(key);
    if (key == Key::kEscape && swallow_escape) swallow = true;
  }
};

class FormModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App().Reset();
    App().title = "QR5_Installer";
    App().SetFrontEnd(&fe);
  }
  void TearDown() override { App().Reset(); }
  void Step(std::function<void()> fn) { fe.steps.push_back(std::move(fn)); }
  ScriptedFrontEnd fe;
  TestPage page;
};

TEST_F(FormModelTest, ButtonResultEndsTheModalLoopAfterTheCloseQuery) {
  Step([&] { EXPECT_TRUE(page.Visible()); EXPECT_TRUE(page.IsModal()); });
  Step([&] { page.Click("BackButton"); });
  EXPECT_EQ(page.ShowModal(), mrBack);
  EXPECT_EQ(page.shows, 1);
  EXPECT_EQ(page.close_queries, 1);
  EXPECT_FALSE(page.Visible());
  EXPECT_FALSE(page.IsModal());
  EXPECT_EQ(fe.shown, std::vector<std::string>{"TTestPage"});
  EXPECT_EQ(fe.hidden, std::vector<std::string>{"TTestPage"});
  EXPECT_TRUE(fe.steps.empty());
}

TEST_F(FormModelTest, CloseQueryCanWithdrawTheClose) {
  page.refuse_close = true;
  Step([&] { page.Click("CancelButton"); });
  Step([&] { EXPECT_TRUE(page.Visible()); EXPECT_EQ(page.modal_result, mrNone); });
  Step([&] { page.Click("NextButton"); });
  EXPECT_EQ(page.ShowModal(), mrOk);
  EXPECT_EQ(page.close_queries, 2);
  EXPECT_TRUE(fe.steps.empty());
}

TEST_F(FormModelTest, ClickHandlerRunsAfterTheResultIsSetAndMayWithdrawIt) {
  int seen = -1;
  int clicks = 0;
  page.Get("NextButton").on_click = [&] {
    seen = page.modal_result;
    if (++clicks == 1) page.modal_result = mrNone;
  };
  Step([&] { page.Click("NextButton"); });
  Step([&] { EXPECT_TRUE(page.Visible()); page.Click("NextButton"); });
  EXPECT_EQ(page.ShowModal(), mrOk);
  EXPECT_EQ(seen, mrOk);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(page.close_queries, 1);  // the withdrawn click never reached it
}

TEST_F(FormModelTest, PendingTerminationReturnsCancelAtOnceWithoutCloseQuery) {
  App().Terminate();
  Step([&] { ADD_FAILURE() << "no message may be handled"; });
  EXPECT_EQ(page.ShowModal(), mrCancel);
  EXPECT_EQ(page.shows, 1);
  EXPECT_EQ(page.close_queries, 0);
  EXPECT_FALSE(page.Visible());
  EXPECT_EQ(fe.steps.size(), 1u);
}

TEST_F(FormModelTest, TerminationRequestedByAHandlerEndsTheLoopWithCancel) {
  page.Get("BackButton").on_click = [] { App().Terminate(); };
  Step([&] { page.Click("BackButton"); });
  Step([&] { ADD_FAILURE() << "the loop should have ended"; });
  EXPECT_EQ(page.ShowModal(), mrCancel);
  EXPECT_EQ(page.close_queries, 0);
}

TEST_F(FormModelTest, EndOfInputRequestsTermination) {
  EXPECT_EQ(page.ShowModal(), mrCancel);
  EXPECT_TRUE(App().Terminated());
  EXPECT_EQ(page.close_queries, 0);
}

TEST_F(FormModelTest, EnterPressesTheFocusedButtonElseTheDefaultOne) {
  Step([&] { page.SetFocus("BackButton"); page.KeyDown(Key::kEnter); });
  EXPECT_EQ(page.ShowModal(), mrBack);
  Step([&] { page.Focus("Edit1"); page.KeyDown(Key::kEnter); });
  EXPECT_EQ(page.ShowModal(), mrOk);
}

TEST_F(FormModelTest, EnterWithShiftOrCtrlPressesNothing) {
  Step([&] { page.Focus("Memo1"); page.KeyDown(Key::kEnter, {.ctrl = true}); });
  Step([&] { page.Focus("Edit1"); page.KeyDown(Key::kEnter, {.shift = true}); });
  Step([&] { EXPECT_TRUE(page.Visible()); page.KeyDown(Key::kEscape); });
  EXPECT_EQ(page.ShowModal(), mrCancel);
  EXPECT_EQ(page.close_queries, 1);
}

TEST_F(FormModelTest, EscapeWithoutCancelButtonDoesNothing) {
  page.Get("CancelButton").is_cancel = false;
  Step([&] { page.KeyDown(Key::kEscape); });
  Step([&] { EXPECT_EQ(page.modal_result, mrNone); page.KeyDown(Key::kEnter); });
  EXPECT_EQ(page.ShowModal(), mrOk);
}

TEST_F(FormModelTest, AltF4AndTheCloseBoxCloseAsCancelThroughTheCloseQuery) {
  page.refuse_close = true;
  Step([&] { page.KeyDown(Key::kF4, {.alt = true}); });
  Step([&] { EXPECT_TRUE(page.Visible()); page.KeyDown(Key::kF4); });  // plain F4
  Step([&] { EXPECT_TRUE(page.Visible()); page.CloseByFrame(); });
  EXPECT_EQ(page.ShowModal(), mrCancel);
  EXPECT_EQ(page.close_queries, 2);
}

TEST_F(FormModelTest, KeyPreviewSeesKeysFirstAndMaySwallowThem) {
  page.key_preview = true;
  page.swallow_escape = true;
  Step([&] { page.KeyDown(Key::kEscape); });
  Step([&] { EXPECT_EQ(page.modal_result, mrNone); page.KeyDown(Key::kEnter); });
  EXPECT_EQ(page.ShowModal(), mrOk);
  EXPECT_EQ(page.previewed, (std::vector<Key>{Key::kEscape, Key::kEnter}));
  EXPECT_EQ(page.close_queries, 1);
}

TEST_F(FormModelTest, KeysAreNotPreviewedWithoutKeyPreview) {
  page.swallow_escape = true;
  Step([&] { page.KeyDown(Key::kEscape); });
  EXPECT_EQ(page.ShowModal(), mrCancel);
  EXPECT_TRUE(page.previewed.empty());
}

TEST_F(FormModelTest, RadioButtonsOfOneGroupExcludeEachOther) {
  int clicks = 0;
  page.Get("RadioB").on_click = [&] { ++clicks; };
  EXPECT_TRUE(page.Click("RadioB"));
  EXPECT_TRUE(page.Get("RadioB").checked);
  EXPECT_FALSE(page.Get("RadioA").checked);
  EXPECT_TRUE(page.Get("RadioC").checked);  // another group
  EXPECT_FALSE(page.SetChecked("RadioB", false));  // the user cannot uncheck one
  EXPECT_TRUE(page.Get("RadioB").checked);
  EXPECT_TRUE(page.SetChecked("RadioA", true));
  EXPECT_FALSE(page.Get("RadioB").checked);
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormModelTest, CheckBoxTogglesAndSetCheckedClicksOnlyOnChange) {
  int clicks = 0;
  page.Get("Check1").on_click = [&] { ++clicks; };
  EXPECT_TRUE(page.Click("Check1"));
  EXPECT_TRUE(page.Get("Check1").checked);
  EXPECT_TRUE(page.SetChecked("Check1", true));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(page.SetChecked("Check1", false));
  EXPECT_FALSE(page.Get("Check1").checked);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(page.active_control, page.Find("Check1"));
}

TEST_F(FormModelTest, DisabledInvisibleUnknownAndWrongKindControlsRefuseActions) {
  int clicks = 0;
  page.Get("NextButton").on_click = [&] { ++clicks; };
  page.Get("NextButton").enabled = false;
  EXPECT_FALSE(page.Click("NextButton"));
  page.Get("NextButton").enabled = true;
  page.Get("NextButton").visible = false;
  EXPECT_FALSE(page.Click("NextButton"));
  EXPECT_FALSE(page.Click("NoSuchButton"));
  EXPECT_FALSE(page.Click("Label1"));
  EXPECT_FALSE(page.TypeText("Check1", "x"));
  EXPECT_FALSE(page.SelectItem("Edit1", 0));
  EXPECT_FALSE(page.Focus("Label1"));
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(page.modal_result, mrNone);
}

TEST_F(FormModelTest, ValidationOnExitThatKeepsTheFocusLosesTheClick) {
  Control& edit = page.Get("Edit1");
  edit.on_exit = [&] {
    if (edit.text == "bad") page.SetFocus("Edit1");
  };
  Step([&] { page.TypeText("Edit1", "bad"); page.Click("NextButton"); });
  Step([&] {
    EXPECT_EQ(page.modal_result, mrNone);
    EXPECT_EQ(page.active_control, &edit);
    page.TypeText("Edit1", "good");
    page.Click("NextButton");
  });
  EXPECT_EQ(page.ShowModal(), mrOk);
  EXPECT_TRUE(fe.steps.empty());
}

TEST_F(FormModelTest, TabMovesAlongTheTabStopsAndRunsOnExit) {
  int exits = 0;
  page.Get("Edit1").on_exit = [&] { ++exits; };
  page.Get("BackButton").enabled = false;  // skipped
  page.SetFocus("Edit1");
  page.KeyDown(Key::kTab);
  EXPECT_EQ(page.active_control->name, "Check1");
  EXPECT_EQ(exits, 1);
  page.KeyDown(Key::kTab);
  EXPECT_EQ(page.active_control->name, "NextButton");
  page.KeyDown(Key::kTab);
  page.KeyDown(Key::kTab);  // wraps
  EXPECT_EQ(page.active_control->name, "Memo1");
  page.KeyDown(Key::kTab, {.shift = true});
  EXPECT_EQ(page.active_control->name, "CancelButton");
}

TEST_F(FormModelTest, ComboSelectionAndTypedTextRunOnChange) {
  Control& combo = page.Add(Make("Combo1", ControlKind::kComboBox));
  combo.items = {"English", "Italiano"};
  int changes = 0;
  combo.on_change = [&] { ++changes; };
  EXPECT_TRUE(page.SelectItem("Combo1", 1));
  EXPECT_EQ(combo.item_index, 1);
  EXPECT_EQ(combo.text, "Italiano");
  EXPECT_TRUE(page.SelectItem("Combo1", 1));  // no change, no event
  EXPECT_FALSE(page.SelectItem("Combo1", 2));
  EXPECT_EQ(changes, 1);
  page.Get("Edit1").on_change = [&] { ++changes; };
  EXPECT_TRUE(page.TypeText("Edit1", "C:\\QR5"));
  EXPECT_EQ(page.Get("Edit1").text, "C:\\QR5");
  EXPECT_EQ(changes, 2);
}

TEST_F(FormModelTest, AcceleratorsFollowTheAmpersand) {
  EXPECT_EQ(page.Get("BackButton").Accelerator(), 'B');
  EXPECT_EQ(page.Get("CancelButton").Accelerator(), 0);
  Control& amp = page.Add(Make("Amp", ControlKind::kButton, "R&&D &go"));
  EXPECT_EQ(amp.Accelerator(), 'G');
  Step([&] { EXPECT_FALSE(page.PressAccelerator('z')); page.PressAccelerator('n'); });
  EXPECT_EQ(page.ShowModal(), mrOk);
}

TEST_F(FormModelTest, AnExceptionInAHandlerIsShownAndTheRunGoesOn) {
  Control& browse = page.Add(Make("BrowseButton", ControlKind::kButton, "Browse"));
  browse.on_click = [] { throw std::runtime_error("Failed to create key X"); };
  // A button's result is set before its handler runs, so it still counts.
  page.Get("CancelButton").on_click = [] { throw std::runtime_error("Stop."); };
  Step([&] { page.Click("BrowseButton"); });
  Step([&] { EXPECT_TRUE(page.Visible()); page.Click("CancelButton"); });
  EXPECT_EQ(page.ShowModal(), mrCancel);
  ASSERT_EQ(fe.boxes.size(), 2u);
  EXPECT_EQ(fe.boxes[0].text, "Failed to create key X.");
  EXPECT_EQ(fe.boxes[0].caption, "QR5_Installer");
  EXPECT_EQ(fe.boxes[0].flags, platform::MB_OK | platform::MB_ICONERROR);
  EXPECT_EQ(fe.boxes[1].text, "Stop.");
}

TEST_F(FormModelTest, AnExceptionInTheCloseQueryWithdrawsTheClose) {
  class Throwing : public Form {
   public:
    Throwing() : Form("TThrowing") {
      Add(Make("Ok", ControlKind::kButton)).modal_result = mrOk;
    }
    int calls = 0;
    void FormClose(CloseAction&) override {
      if (++calls == 1) throw std::runtime_error("no");
    }
  } form;
  Step([&] { form.Click("Ok"); });
  Step([&] { EXPECT_TRUE(form.Visible()); form.Click("Ok"); });
  EXPECT_EQ(form.ShowModal(), mrOk);
  ASSERT_EQ(fe.boxes.size(), 1u);
  EXPECT_EQ(fe.boxes[0].text, "no.");
}

TEST_F(FormModelTest, AnExceptionInFormShowIsShownAndTheFormStillWaits) {
  class BadShow : public Form {
   public:
    BadShow() : Form("TBadShow") {
      Add(Make("Ok", ControlKind::kButton)).modal_result = mrOk;
    }
    void FormShow() override { throw std::runtime_error("Invalid data type for 'Language'"); }
  } form;
  Step([&] { EXPECT_TRUE(form.Visible()); form.Click("Ok"); });
  EXPECT_EQ(form.ShowModal(), mrOk);
  ASSERT_EQ(fe.boxes.size(), 1u);
  // Text ending in punctuation below "." gets no period added.
  EXPECT_EQ(fe.boxes[0].text, "Invalid data type for 'Language'");
}

TEST_F(FormModelTest, ModelessFormsCloseThroughTheCloseQuery) {
  page.Show();
  EXPECT_TRUE(page.Visible());
  EXPECT_FALSE(page.IsModal());
  page.refuse_close = true;
  page.Close();
  EXPECT_TRUE(page.Visible());
  page.Close();
  EXPECT_FALSE(page.Visible());
  EXPECT_EQ(page.close_queries, 2);
  EXPECT_FALSE(App().Terminated());
}

TEST_F(FormModelTest, RunRaisesIdleOnceEachTimeAndEndsWhenTheMainFormCloses) {
  TestPage main_form;
  App().SetMainForm(&main_form);
  App().show_main_form = false;
  int idles = 0;
  App().on_idle = [&] {
    ++idles;
    App().on_idle = nullptr;  // removes itself while running
    EXPECT_EQ(page.ShowModal(), mrOk);
    main_form.Close();
  };
  Step([&] { page.KeyDown(Key::kEnter); });
  App().Run();
  EXPECT_EQ(idles, 1);
  EXPECT_TRUE(App().MainFormIsClosed());
  EXPECT_TRUE(App().Terminated());
  EXPECT_EQ(main_form.shows, 0);  // never shown
  EXPECT_EQ(fe.shown, std::vector<std::string>{"TTestPage"});
}

TEST_F(FormModelTest, RunSurvivesAnIdleHandlerThatThrows) {
  int idles = 0;
  App().on_idle = [&] {
    if (++idles == 2) App().on_idle = nullptr;
    throw std::runtime_error("idle failed");
  };
  Step([] {});
  Step([] {});
  App().Run();  // ends at the end of the script
  EXPECT_EQ(idles, 2);
  EXPECT_EQ(fe.boxes.size(), 2u);
  EXPECT_TRUE(App().Terminated());
}

TEST_F(FormModelTest, WithoutFrontEndModalPagesEndWithCancel) {
  App().SetFrontEnd(nullptr);
  EXPECT_EQ(page.ShowModal(), mrCancel);
}

}  // namespace
}  // namespace qr5::forms
