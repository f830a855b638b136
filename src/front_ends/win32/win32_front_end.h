// The Windows front end of the application: every shown form is a real
// top-level window and its controls are child windows (buttons, statics,
// edits, combo boxes, a tree view); bevels, pictures and the progress bar are
// painted by the form window itself. User actions on the windows are turned
// into the form model's calls (Form::Click, TypeText, KeyDown, ...), and after
// each one the windows are brought in line with the controls' data.
// May be included before or after <windows.h>.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "front_ends/win32/toolkit_headers.h"

struct HINSTANCE__;  // HINSTANCE without <windows.h>
struct HWND__;

namespace qr5::front_ends::win32 {

#pragma push_macro("MessageBox")
#undef MessageBox

struct FormWindow;

class Win32FrontEnd : public forms::FrontEnd {
 public:
  // instance and show are WinMain's: the module and how to show the first window.
  Win32FrontEnd(HINSTANCE__* instance, int show);
  ~Win32FrontEnd() override;

  void FormShown(forms::Form& form) override;
  void FormHidden(forms::Form& form) override;
  void FormChanged(forms::Form& form) override;
  // Waits for one message (GetMessage) and dispatches it; false on WM_QUIT or
  // when no window of ours is shown and nothing is queued.
  bool HandleMessage() override;
  void ProcessMessages() override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  // Measured in the dialogs' font (DrawText with DT_CALCRECT).
  int TextWidth(const std::string& text) override;

  // The window procedure's way in (one front end per process).
  std::intptr_t Deliver(HWND__* window, unsigned message, std::uintptr_t wparam,
                        std::intptr_t lparam, bool* handled);

 private:
  FormWindow* FindWindowOf(HWND__* window);
  bool PreTranslate(void* message);  // keys for the form model; true: swallowed
  void Create(FormWindow& fw);
  void Sync(FormWindow& fw);
  void DestroyHidden();
  // Runs a user action on the form model, then brings all windows in line.
  void Act(FormWindow& fw, const std::function<void()>& action);
  FormWindow* Front();  // the form shown last and still visible

  HINSTANCE__* instance_;
  int show_;
  bool syncing_ = false;
  int dispatch_depth_ = 0;
  // Keys typed before this tick belong to a page that could not be closed
  // and is gone (see FormHidden); 0: none.
  unsigned long typed_for_gone_page_ = 0;
  std::map<forms::Form*, std::unique_ptr<FormWindow>> windows_;
  int serial_ = 0;
  std::vector<HWND__*> hidden_;  // destroyed once no message of theirs is in progress
  std::vector<std::unique_ptr<FormWindow>> graveyard_;
};

#pragma pop_macro("MessageBox")

}  // namespace qr5::front_ends::win32
