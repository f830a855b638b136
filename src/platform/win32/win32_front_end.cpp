#include "platform/win32/win32_front_end.h"

#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

Win32FrontEnd::Win32FrontEnd(HINSTANCE__* instance, int show) : instance_(instance), show_(show) {}

void Win32FrontEnd::FormShown(app::Form&) {}

void Win32FrontEnd::FormHidden(app::Form&) {}

void Win32FrontEnd::FormChanged(app::Form&) {}

bool Win32FrontEnd::HandleMessage() {
  MSG message;
  if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
    return true;
  }
  // Nothing is queued and no window of ours could ever receive input.
  return false;
}

void Win32FrontEnd::ProcessMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the loop that waits for it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

int Win32FrontEnd::MessageBox(const std::string& text, const std::string& caption,
                              unsigned flags) {
  return ::MessageBoxA(::GetActiveWindow(), Z(text), Z(caption), flags);
}

}  // namespace qr5::platform::win32
