// A toolkit-neutral form model. A form's controls are plain data and its
// event handlers are methods; a front end (native Win32 windows or the text
// console) only renders a form and turns user actions into the calls below.
// Tests drive forms through the same calls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qr5::app {

// Modal results exchanged between pages, dialogs and the wizard driver.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;
inline constexpr int mrBack = 100;

enum class ControlKind {
  kLabel,
  kButton,
  kCheckBox,
  kRadioButton,
  kEdit,
  kComboBox,     // drop-down list (items, item_index)
  kMemo,         // read-only multi-line text (items are its lines)
  kTreeView,     // folder tree (see pages' browse dialog for its nodes)
  kProgressBar,  // position 0..100
  kImage,        // a picture drawn by the front end (picture names it)
  kBevel,        // a dividing line or a white band
};

enum class FontStyle { kNormal, kBold, kTitle };  // kTitle: Verdana 12 pt bold

enum class Key { kEnter, kEscape, kTab, kF4, kOther };
struct ShiftState {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
};

class Form;

// One control. Everything a front end needs to show it is data here.
struct Control {
  std::string name;  // the form-designer name, e.g. "NextButton"
  ControlKind kind = ControlKind::kLabel;
  std::string text;  // caption or edit text; "&" marks the accelerator
  int left = 0, top = 0, width = 0, height = 0;
  bool enabled = true;
  bool visible = true;
  bool checked = false;          // check boxes and radio buttons
  std::vector<std::string> items;  // combo entries, memo lines
  int item_index = -1;           // selected combo entry
  int position = 0;              // progress bar
  int modal_result = mrNone;     // a button's result, taken after OnClick
  bool is_default = false;       // answers Enter
  bool is_cancel = false;        // answers Escape
  bool word_wrap = false;
  bool tab_stop = false;
  int group = 0;                 // radio buttons of one group exclude each other
  FontStyle font = FontStyle::kNormal;
  std::string picture;           // kImage: which picture; kBevel: "white" or "line"
  // Handlers, set by the form.
  std::function<void()> on_click;   // buttons, check boxes, radio buttons
  std::function<void()> on_change;  // edits, combos, tree selection
  std::function<void()> on_exit;    // focus leaves the control

  // The accelerator letter (upper case) after a single "&", or 0.
  char Accelerator() const;
};

// What FormClose may do with a close in progress.
enum class CloseAction { kNone, kHide, kFree, kMinimize };

enum class BorderStyle { kSingle, kDialog, kNone };

class Application;

// A form: a window with controls and handlers. Pages derive from it.
class Form {
 public:
  explicit Form(std::string class_name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // ---- designer attributes ----
  std::string class_name;  // "TFormStep4"
  std::string caption;
  int client_width = 0, client_height = 0;
  BorderStyle border = BorderStyle::kSingle;
  bool system_menu = true;
  bool minimize_box = true;
  bool close_box = true;
  bool key_preview = false;
  bool centred = true;

  // ---- controls ----
  Control& Add(Control control);  // keeps creation order (= tab order)
  Control* Find(const std::string& name);
  const Control* Find(const std::string& name) const;
  Control& Get(const std::string& name);  // throws std::out_of_range
  std::vector<std::unique_ptr<Control>>& Controls() { return controls_; }
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  // ---- state ----
  int modal_result = mrNone;
  Control* active_control = nullptr;  // keyboard focus
  bool Visible() const { return visible_; }
  bool IsModal() const { return modal_; }

  // ---- handlers (override in pages) ----
  virtual void FormShow() {}
  virtual void FormClose(CloseAction& action) { (void)action; }
  // Key preview: runs before the focused control sees the key when
  // key_preview is set; clearing *key_handled swallows the key.
  virtual void FormKeyDown(Key key, ShiftState shift, bool& swallow) {
    (void)key, (void)shift, (void)swallow;
  }

  // ---- operations ----
  // Shows the form modally through the application's front end and runs its
  // modal loop; returns the modal result. A pending termination request of
  // the application makes it return mrCancel at once.
  int ShowModal();
  void Show();   // not modal: visible until Close() or Hide()
  void Hide();
  // Asks to close: for a modal form sets modal_result to mrCancel (the loop
  // then runs the close query); a modeless form runs FormClose and hides.
  void Close();
  void SetFocus(const std::string& control_name);

  // ---- user actions, as a front end delivers them ----
  // Click on a button, check box or radio button (enabled and visible ones
  // only). Runs on_click, then takes the button's modal result.
  bool Click(const std::string& control_name);
  void SetChecked(const std::string& control_name, bool checked);  // by the user
  void TypeText(const std::string& control_name, const std::string& text);
  void SelectItem(const std::string& control_name, int index);
  // A key pressed while this form is active: key preview first, then Enter
  // presses the default button (or the focused button), Escape the cancel
  // button, Alt+F4 closes the frame, Tab moves the focus.
  void KeyDown(Key key, ShiftState shift = {});
  // The close box of the window frame.
  void CloseByFrame();
  // Accelerator: Alt+letter (or the letter on a form without edit focus).
  bool PressAccelerator(char letter);

  // Runs the close query for a modal result that is set; resets
  // modal_result to mrNone when FormClose withdraws the close. Used by the
  // modal loop.
  void CloseModal();

  // Called by the front end whenever controls changed and need repainting.
  void Changed();

 private:
  friend class Application;
  void MoveFocus(Control* to);
  std::vector<std::unique_ptr<Control>> controls_;
  bool visible_ = false;
  bool modal_ = false;
};

}  // namespace qr5::app
