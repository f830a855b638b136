// The Windows front end of the application: message boxes and the thread's
// message queue. Forms are not yet given windows of their own, so a form that
// waits for the user ends its modal loop at once (as with no input at all).
// May be included before or after <windows.h>.
#pragma once

#include "platform/win32/portable_headers.h"

struct HINSTANCE__;  // HINSTANCE without <windows.h>

namespace qr5::platform::win32 {

#pragma push_macro("MessageBox")
#undef MessageBox

class Win32FrontEnd : public app::FrontEnd {
 public:
  // instance and show are WinMain's: the module and how to show the first window.
  Win32FrontEnd(HINSTANCE__* instance, int show);

  void FormShown(app::Form& form) override;
  void FormHidden(app::Form& form) override;
  void FormChanged(app::Form& form) override;
  bool HandleMessage() override;
  void ProcessMessages() override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;

 private:
  HINSTANCE__* instance_;
  int show_;
};

#pragma pop_macro("MessageBox")

}  // namespace qr5::platform::win32
