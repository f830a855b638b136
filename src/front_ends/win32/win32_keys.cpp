// The message loop and the keys: every key message passes the form model
// before any control sees it, so that Enter, Escape, Tab, Alt+F4, the arrow
// keys in a radio group and mnemonics with and without Alt do what the form
// says (key preview, default and cancel buttons, tab order, accelerators).
// Space and the keys of edits, lists and the tree stay with the controls.
#include <string>

#include "front_ends/win32/win32_form_window.h"

namespace qr5::front_ends::win32 {

using forms::Form;

bool Win32FrontEnd::PreTranslate(void* raw) {
  MSG& msg = *static_cast<MSG*>(raw);
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && typed_for_gone_page_ != 0) {
    if (static_cast<LONG>(msg.time - typed_for_gone_page_) < 0) return true;  // typed at it
    typed_for_gone_page_ = 0;
  }
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR)
    return false;
  // The top-level window of the key's window (GetAncestor is not on Windows 95).
  HWND root = msg.hwnd;
  while (root != nullptr && (::GetWindowLongA(root, GWL_STYLE) & WS_CHILD) != 0)
    root = ::GetParent(root);
  FormWindow* fw = FindWindowOf(root);
  if (fw == nullptr || !fw->form->Visible()) {
    // A key queued for a form window already hidden goes nowhere: the
    // default handling would close that window (Alt+F4) and with it the
    // windows it owns.
    char root_class[16] = {};
    ::GetClassNameA(root, root_class, sizeof root_class);
    return std::string(root_class) == "QR5Form";
  }
  Form& form = *fw->form;
  if (msg.message == WM_CHAR) {
    // A plain letter is a mnemonic where the focus takes no letters; the
    // form model decides, an edit or the tree gets it otherwise.
    const unsigned char ch = static_cast<unsigned char>(msg.wParam);
    if (msg.wParam > 0xFF || ch <= ' ' || ::GetKeyState(VK_CONTROL) < 0) return false;
    bool pressed = false;
    Act(*fw, [&form, &pressed, ch] { pressed = form.KeyChar(static_cast<char>(ch)); });
    return pressed;
  }
  forms::ShiftState shift;
  shift.shift = ::GetKeyState(VK_SHIFT) < 0;
  shift.ctrl = ::GetKeyState(VK_CONTROL) < 0;
  shift.alt = msg.message == WM_SYSKEYDOWN || ::GetKeyState(VK_MENU) < 0;
  const WPARAM vk = msg.wParam;
  // An open drop-down list takes Enter and Escape itself.
  char class_name[32] = {};
  ::GetClassNameA(msg.hwnd, class_name, sizeof class_name);
  const bool dropped = std::string(class_name) == "ComboBox" &&
                       ::SendMessageA(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
  forms::Key key = forms::Key::kOther;
  if (vk == VK_RETURN && !dropped) key = forms::Key::kEnter;
  if (vk == VK_ESCAPE && !dropped) key = forms::Key::kEscape;
  if (vk == VK_TAB) key = forms::Key::kTab;
  if (vk == VK_F4 && shift.alt) key = forms::Key::kF4;
  // Arrows move inside a radio group or among push buttons (a button
  // control itself would ignore them) and walk the tree as the model does.
  const forms::Control* focused = form.active_control;
  const bool tree = focused != nullptr && focused->kind == forms::ControlKind::kTreeView;
  if (focused != nullptr && (focused->kind == forms::ControlKind::kRadioButton ||
                             focused->kind == forms::ControlKind::kButton || tree)) {
    if (vk == VK_UP) key = forms::Key::kUp;
    if (vk == VK_DOWN) key = forms::Key::kDown;
    if (vk == VK_LEFT) key = forms::Key::kLeft;
    if (vk == VK_RIGHT) key = forms::Key::kRight;
  }
  if (tree && msg.message == WM_KEYDOWN && (vk == VK_ADD || vk == VK_SUBTRACT)) {
    // The keypad's plus and minus, which the view would handle itself.
    Act(*fw, [&form, vk] { form.KeyChar(vk == VK_ADD ? '+' : '-'); });
    return true;
  }
  if (key != forms::Key::kOther) {
    Act(*fw, [&form, key, shift] { form.KeyDown(key, shift); });
    return true;
  }
  if (msg.message == WM_SYSKEYDOWN && ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))) {
    bool pressed = false;
    Act(*fw, [&form, &pressed, vk] { pressed = form.PressAccelerator(static_cast<char>(vk)); });
    return pressed;
  }
  return false;
}

bool Win32FrontEnd::HandleMessage() {
  DestroyHidden();
  MSG message;
  bool any_shown = false;
  for (auto& [form, fw] : windows_)
    if (fw->hwnd != nullptr && ::IsWindowVisible(fw->hwnd)) any_shown = true;
  if (!any_shown) {
    // No window of ours can get input: only what is already queued.
    if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) return false;
  } else if (::GetMessageA(&message, nullptr, 0, 0) <= 0) {
    return false;
  }
  if (PreTranslate(&message)) return true;
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
  return true;
}

void Win32FrontEnd::ProcessMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the loop that waits for it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (PreTranslate(&message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

}  // namespace qr5::front_ends::win32
