#include "forms/application.h"

#include <cstdio>

#include "platform/error.h"
#include "platform/platform.h"

namespace qr5::forms {

namespace {

// Used while no front end is set: nothing can be typed, so modal loops end
// at once with Cancel; message boxes go to stderr and answer OK (or No).
class HeadlessFrontEnd : public FrontEnd {
 public:
  void FormShown(Form&) override {}
  void FormHidden(Form&) override {}
  void FormChanged(Form&) override {}
  bool HandleMessage() override { return false; }
  void ProcessMessages() override {}
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    const std::string line = "[" + caption + "] " + text + "\n";
    std::fputs(line.c_str(), stderr);
    return (flags & 0x0F) == platform::MB_YESNO ? platform::IDNO
           : (flags & 0x0F) == platform::MB_OKCANCEL ? platform::IDCANCEL
                                                     : platform::IDOK;
  }
};

}  // namespace

Application& App() {
  static Application application;
  return application;
}

FrontEnd& Application::Front() {
  static HeadlessFrontEnd headless;
  return front_end_ != nullptr ? *front_end_ : headless;
}

void Application::HandleMessage() {
  try {
    if (!Front().HandleMessage()) Terminate();
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(Error("Unknown exception"));
  }
}

void Application::Run() {
  if (show_main_form && main_form_ != nullptr) main_form_->Show();
  while (!terminated_ && !main_closed_) {
    if (on_idle) {
      // A copy: the handler may remove itself while it runs.
      std::function<void()> idle = on_idle;
      Guard(idle);
      if (terminated_ || main_closed_) break;
    }
    HandleMessage();
  }
}

void Application::ProcessMessages() {
  try {
    Front().ProcessMessages();
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(Error("Unknown exception"));
  }
}

int Application::RunModal(Form& form) {
  if (form.modal_ || form.visible_)
    throw Error("Cannot make a visible window modal");
  form.modal_ = true;
  Guard([&form] { form.FormShow(); });
  form.visible_ = true;
  if (form.active_control == nullptr) form.FocusFirst();
  Front().FormShown(form);
  form.modal_result = mrNone;
  for (;;) {
    if (terminated_) {
      form.modal_result = mrCancel;
      break;
    }
    HandleMessage();
    if (terminated_) continue;  // wins over a result set meanwhile
    if (form.modal_result != mrNone) {
      form.CloseModal();
      if (form.modal_result != mrNone) break;
    }
  }
  const int result = form.modal_result;
  form.modal_ = false;
  form.Hide();
  return result;
}

void Application::FormDestroyed(Form& form) {
  if (form.visible_ && front_end_ != nullptr) front_end_->FormHidden(form);
  if (main_form_ == &form) main_form_ = nullptr;
}

int Application::MessageBox(const std::string& text, const std::string& caption,
                            unsigned flags) {
  int answer = platform::IDOK;
  if (message_box_sink && message_box_sink(text, caption, flags, &answer)) return answer;
  return Front().MessageBox(text, caption, flags);
}

void Application::HandleException(const std::exception& e) {
  std::string text = e.what();
  // As the runtime's default handler shows it: a sentence ends in a period.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBox(text, title, platform::MB_OK | platform::MB_ICONERROR);
}

bool Application::Guard(const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(Error("Unknown exception"));
  }
  return false;
}

void Application::Reset() {
  title.clear();
  front_end_ = nullptr;
  main_form_ = nullptr;
  show_main_form = true;
  on_idle = nullptr;
  message_box_sink = nullptr;
  terminated_ = false;
  main_closed_ = false;
}

}  // namespace qr5::forms
