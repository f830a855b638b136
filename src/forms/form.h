// A toolkit-neutral form model. A form's controls are plain data and its
// event handlers are methods; a front end (native Win32 windows or the text
// console) only renders a form and turns user actions into the calls below.
// Tests drive forms through the same calls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qr5::forms {

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

enum class Key { kEnter, kEscape, kTab, kF4, kSpace, kUp, kDown, kLeft, kRight, kOther };
struct ShiftState {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
};

class Form;

// One shown entry of a folder tree, for front ends that draw the tree
// themselves: the entries come in display order (a drive, then the entries
// below it while it is expanded), each one level deeper than its parent.
struct TreeEntry {
  int depth = 0;         // 0 for a drive
  std::string name;      // "C:\" for a drive, the folder's own name below it
  std::string path;      // full path, as SelectPath and ExpandPath take it
  bool expanded = false;
  bool may_have_children = true;  // not yet read, or read and not empty
  bool is_new = false;   // typed by the user, not on the disk
};

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
  std::vector<TreeEntry> tree;   // kTreeView: the entries shown
  int position = 0;              // progress bar
  int modal_result = mrNone;     // a button's result, taken after OnClick
  bool is_default = false;       // answers Enter
  bool is_cancel = false;        // answers Escape
  bool word_wrap = false;
  bool read_only = false;        // edits: shown, selectable, not typed into
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
  Control& Get(const std::string& name);  // throws an Error
  std::vector<std::unique_ptr<Control>>& Controls() { return controls_; }
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  // A close by the user (close box, Alt+F4) is possible. Keys typed while a
  // form without one is shown (a progress page, busy and reading no input)
  // are its own, also those still unread when it goes: front ends drop
  // them then instead of handing them to the form shown next.
  bool UserCanClose() const { return system_menu && close_box; }

  // ---- state ----
  int modal_result = mrNone;
  Control* active_control = nullptr;  // keyboard focus
  bool Visible() const { return visible_; }
  bool IsModal() const { return modal_; }

  // ---- handlers (override in pages) ----
  virtual void FormShow() {}
  virtual void FormClose(CloseAction& action) { (void)action; }
  // Key preview: runs before the focused control sees the key when
  // key_preview is set; setting swallow to true swallows the key (the
  // VCL's Key := 0).
  virtual void FormKeyDown(Key key, ShiftState shift, bool& swallow) {
    (void)key, (void)shift, (void)swallow;
  }
  // A folder tree entry picked by the user, named by its full path. Forms
  // with a tree override it; false when the form has no such tree or the
  // path cannot be selected.
  virtual bool SelectPath(const std::string& control_name, const std::string& path) {
    (void)control_name, (void)path;
    return false;
  }
  // A folder tree entry opened (expand) or closed by the user; false when
  // the form has no such tree or entry.
  virtual bool ExpandPath(const std::string& control_name, const std::string& path,
                          bool expand) {
    (void)control_name, (void)path, (void)expand;
    return false;
  }

  // ---- operations ----
  // Shows the form modally through the application's front end and runs its
  // modal loop; returns the modal result:
  //   FormShow; show; modal_result := 0;
  //   loop { termination requested: modal_result := mrCancel, leave (no
  //          close query); let the front end deliver one message;
  //          modal_result set: CloseModal (FormClose may withdraw it) }
  //   hide; return modal_result.
  // A pending termination request thus makes it return mrCancel at once,
  // and one made while a message is handled wins over a result it set. An
  // exception out of FormShow is shown and the form is shown all the same.
  int ShowModal();
  void Show();   // not modal: runs FormShow, visible until Close() or Hide()
  void Hide();
  // Asks to close: for a modal form sets modal_result to mrCancel (the loop
  // then runs the close query); a modeless form runs FormClose and hides,
  // and closing the application's main form requests termination.
  void Close();
  // Moves the keyboard focus (runs on_exit of the control that loses it).
  // Disabled, invisible or unknown controls are ignored.
  void SetFocus(const std::string& control_name);

  // ---- user actions, as a front end delivers them ----
  // Each returns false (and does nothing) for an unknown, disabled or
  // invisible control or one of the wrong kind. Handlers run guarded: an
  // exception they throw is shown by Application::HandleException.
  //
  // Click on a button, check box or radio button. The control takes the
  // focus first (the old one's on_exit runs; when that handler moves the
  // focus elsewhere the click is lost, as on Windows). A button then sets
  // the form's modal_result to its own and runs on_click, which may still
  // change it; a check box toggles, a radio button checks itself and
  // unchecks its group, and on_click runs.
  bool Click(const std::string& control_name);
  // Sets a check box or radio button as the user would (a change runs
  // on_click; a radio button cannot be unchecked by the user).
  bool SetChecked(const std::string& control_name, bool checked);
  // Focuses an edit and replaces its text; on_change runs. Read-only edits
  // refuse.
  bool TypeText(const std::string& control_name, const std::string& text);
  // Focuses a combo box and selects entry index (-1: none); on_change runs.
  bool SelectItem(const std::string& control_name, int index);
  // Focus by the user (focusable kinds only).
  bool Focus(const std::string& control_name);
  // A key pressed while this form is active, handled as the Windows dialog
  // manager does: key preview first; Enter presses the button that carries
  // the default frame (see DefaultFramed; also from the read-only memo;
  // Enter with Shift, Alt or Ctrl presses nothing) and Escape the cancel
  // button, both without moving the focus; Alt+F4 (with or without Shift)
  // closes the frame as its close box would; Tab and Shift+Tab move along
  // the tab stops, a group of radio buttons being one stop (its checked
  // button); the arrow keys move and select inside a radio group, move the
  // focus among the push buttons of a group, step through a combo's entries
  // and walk a folder tree (see TreeKey); Space presses the focused button,
  // check box or radio button.
  void KeyDown(Key key, ShiftState shift = {});
  // A character typed without Alt: a focused tree takes it (a letter
  // selects, "+" and "-" open and close); where the focused control takes
  // no characters (it is no edit, memo or combo) it is a mnemonic, as
  // PressAccelerator. True when a control answered.
  bool KeyChar(char letter);
  // The close box of the window frame (WM_CLOSE, SC_CLOSE, Alt+F4): a close
  // as Cancel; a frame without a close box (system_menu or close_box unset)
  // refuses it, whatever asked.
  void CloseByFrame();
  // Accelerator (Alt+letter, or the letter alone outside edits): the one
  // button, check box or radio button whose text marks that letter with "&"
  // (or, when none does, a Yes or No button by its first letter) is clicked; when several share it, the focus moves to the next of them
  // and nothing is pressed.
  bool PressAccelerator(char letter);
  // The push button that wears the default frame, which Enter presses when
  // it is enabled: the focused button, else the form's default button;
  // null when there is neither (or it is hidden).
  const Control* DefaultFramed() const;

  // Runs the close query for a modal result that is set; resets
  // modal_result to mrNone when FormClose withdraws the close. Used by the
  // modal loop.
  void CloseModal();

  // Tells the front end that controls of a visible form changed and need
  // repainting (front ends also repaint after each user action).
  void Changed();

 private:
  friend class Application;
  // Focus change; false when a handler moved the focus elsewhere.
  bool MoveFocus(Control* to);
  // Focus moved by a key: a radio button reached so is selected as well.
  void KeyFocus(Control* to);
  // A button's press without a focus change (Enter, Escape): result, then
  // on_click.
  void Press(Control& button);
  void MoveInRadioGroup(bool forward);
  void MoveInButtonGroup(bool forward);
  // A folder tree's arrows and characters (form_tree_keys.cpp).
  void TreeKey(Key key);
  bool TreeChar(char letter);
  void TabStep(bool backward);
  Control* Usable(const std::string& name);  // enabled and visible
  void FocusFirst();
  std::vector<std::unique_ptr<Control>> controls_;
  bool visible_ = false;
  bool modal_ = false;
};

}  // namespace qr5::forms
