// The application object: the message loop, the idle event, the termination
// request, message boxes and the default exception handler. It drives the
// forms through a FrontEnd, which is either the Win32 window layer or the
// text console of the simulated platform.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "forms/form.h"

namespace qr5::forms {

// What a toolkit has to do for the application. One per process.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  virtual void FormShown(Form& form) = 0;   // create/show its window
  virtual void FormHidden(Form& form) = 0;  // hide its window
  virtual void FormChanged(Form& form) = 0;  // controls changed: repaint
  // Waits for the next user action or window message and delivers it to the
  // forms (Form::Click, Form::KeyDown, ...). Returns false when no further
  // input can ever come (the console reached the end of its input); the
  // application then asks itself to terminate.
  virtual bool HandleMessage() = 0;
  // Delivers what is pending without waiting (Application.ProcessMessages).
  virtual void ProcessMessages() = 0;
  // MessageBoxA: returns IDOK, IDYES, ... (platform::IDOK etc.).
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         unsigned flags) = 0;
  // The width in pixels of a one-line text in the dialogs' font (a single
  // "&" marks an accelerator and takes no room), or -1 when the front end
  // draws no real font; the forms then use their fixed table.
  virtual int TextWidth(const std::string& text) {
    (void)text;
    return -1;
  }
};

class Application {
 public:
  // The application title: the executable's file name without extension.
  std::string title;

  void SetFrontEnd(FrontEnd* front_end) { front_end_ = front_end; }
  // The front end set, or else a headless one that has no input (modal
  // loops end with Cancel) and writes message boxes to stderr.
  FrontEnd& Front();

  // The main form: closing it ends Run().
  void SetMainForm(Form* form) { main_form_ = form; }
  Form* MainForm() const { return main_form_; }
  bool show_main_form = true;

  // The idle event: raised by Run() when the message queue is empty.
  std::function<void()> on_idle;

  // Runs the message loop until the main form is closed or a termination
  // request reaches the loop: shows the main form when show_main_form is
  // set, then { raise the idle event once; wait for and deliver one
  // message } until then. A front end without further input requests
  // termination.
  void Run();
  // The termination request. It takes effect when a message loop next looks
  // at it: Run() ends, a modal loop returns mrCancel without a close query.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  void ProcessMessages();

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
  // Sees every message box before the front end does; when it returns true
  // it has answered the box itself (*answer) and nothing is shown.
  std::function<bool(const std::string& text, const std::string& caption, unsigned flags, int* answer)>
      message_box_sink;
  // Shows an exception that escaped a handler, as the default handler of a
  // Windows GUI application does, and lets the run go on: a message box with
  // the exception's message (a period appended unless it ends in one or in
  // other punctuation), the title as caption, MB_OK | MB_ICONERROR.
  void HandleException(const std::exception& e);
  // Runs fn, showing any exception it throws. True when fn returned.
  bool Guard(const std::function<void()>& fn);

  // Main form closed (Close() on the main form calls this).
  void MainFormClosed() { main_closed_ = true; }
  bool MainFormIsClosed() const { return main_closed_; }

  // Back to the state of a new process (tests): no front end, no main form,
  // no idle handler, no termination request.
  void Reset();

 private:
  friend class Form;
  int RunModal(Form& form);
  void FormDestroyed(Form& form);
  // One message through the front end; exceptions shown.
  void HandleMessage();
  FrontEnd* front_end_ = nullptr;
  Form* main_form_ = nullptr;
  bool terminated_ = false;
  bool main_closed_ = false;
};

// The process's application object (the VCL's Application).
Application& App();

}  // namespace qr5::forms
