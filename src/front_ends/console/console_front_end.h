// The text console front end of the simulated platform. It prints the form
// that is shown ("=== CLASS: caption ===", then one line per visible control),
// after an action the lines of the controls that changed (or the whole form
// again, marked "(updated)", when controls or entries came or went), and
// reads one user action per line, so that a run can be typed by hand or
// replayed from a file:
//
//   click CONTROL              a button, check box or radio button
//   check CONTROL / uncheck CONTROL
//   select CONTROL N|TEXT      a combo entry by index or text; a tree entry
//                              by its full path
//   type CONTROL TEXT          replaces an edit's text with everything after
//                              the one space that follows CONTROL, blanks
//                              kept (TEXT may be empty)
//   focus CONTROL
//   key KEY                    Enter, Escape, Tab, Shift+Tab, Space, Up,
//                              Down, Left, Right, F4, Alt+F4, Alt+Shift+F4,
//                              Alt+LETTER (an accelerator), LETTER (a
//                              mnemonic where the focus takes no letters)
//   close                      the close box of the window frame
//
// The console speaks UTF-8; the program's texts are Windows-1252 (ANSI) and
// are converted both ways. Empty lines and lines starting with "#" are
// ignored. An unknown action or
// control prints one "error:" line and the next line is read. At the end of
// the input the application is asked to terminate. Message boxes print their
// caption and text; a Yes/No box reads "yes" or "no", an OK/Cancel box "ok"
// or "cancel", any other box answers OK without reading.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "forms/application.h"

namespace qr5::front_ends {

class ConsoleFrontEnd : public forms::FrontEnd {
 public:
  ConsoleFrontEnd(std::istream& in, std::ostream& out);

  // Print each action line read before carrying it out (for replayed runs,
  // whose input is not echoed by a terminal).
  bool echo = false;

  struct MessageBoxRecord {
    std::string caption;
    std::string text;
    unsigned flags = 0;
    int answer = 0;
  };
  // Every message box shown, in order.
  std::vector<MessageBoxRecord> message_boxes;

  void FormShown(forms::Form& form) override;
  void FormHidden(forms::Form& form) override;
  void FormChanged(forms::Form& form) override;
  bool HandleMessage() override;
  void ProcessMessages() override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;

  // The form actions go to: the one shown last that is still visible.
  forms::Form* ActiveForm() const;
  // The lines printed for a form (caption line first).
  static std::vector<std::string> Render(const forms::Form& form);

 private:
  // Carries out one action line; false with *error set when it is refused.
  bool Perform(const std::string& line, std::string* error);
  // The whole form; again: a form already on screen, printed anew because
  // it changed shape or came back in front ("(updated)" after the caption).
  void PrintForm(forms::Form& form, bool again);
  void PrintChanges(forms::Form& form);
  bool ReadLine(std::string* line);

  std::istream& in_;
  std::ostream& out_;
  std::vector<forms::Form*> shown_;  // in showing order
  std::map<const forms::Form*, std::vector<std::string>> printed_;
  const forms::Form* last_printed_ = nullptr;
};

}  // namespace qr5::front_ends
