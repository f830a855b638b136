// The message loop and the keys: every key message passes the form model
// before any control sees it, so that Enter, Escape, Tab, Alt+F4 and
// Alt+letter do what the form says (key preview, default and cancel buttons,
// tab order, accelerators).
#include <string>

#include "platform/win32/win32_form_window.h"

namespace qr5::platform::win32 {

using forms::Form;

bool Win32FrontEnd::PreTranslate(void* raw) {
  MSG& msg = *static_cast<MSG*>(raw);
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  // The top-level window of the key's window (GetAncestor is not on Windows 95).
  HWND root = msg.hwnd;
  while (root != nullptr && (::GetWindowLongA(root, GWL_STYLE) & WS_CHILD) != 0)
    root = ::GetParent(root);
  FormWindow* fw = FindWindowOf(root);
  if (fw == nullptr || !fw->form->Visible()) return false;
  Form& form = *fw->form;
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

}  // namespace qr5::platform::win32
