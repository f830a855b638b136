// A front end for tests: each "message" is a scripted step run against the
// forms; message boxes are recorded and answered from a queue.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "forms/application.h"
#include "platform/platform.h"

namespace qr5::testing {

struct RecordedBox {
  std::string text;
  std::string caption;
  unsigned flags = 0;
};

class ScriptedFrontEnd : public forms::FrontEnd {
 public:
  std::deque<std::function<void()>> steps;
  std::deque<int> box_answers;     // IDOK when empty
  std::vector<RecordedBox> boxes;
  std::vector<std::string> shown;  // class names, in showing order
  std::vector<std::string> hidden;
  int process_calls = 0;
  // A real font's measure when set; the forms' table otherwise.
  std::function<int(const std::string&)> text_width;

  void FormShown(forms::Form& form) override { shown.push_back(form.class_name); }
  void FormHidden(forms::Form& form) override { hidden.push_back(form.class_name); }
  void FormChanged(forms::Form&) override {}
  bool HandleMessage() override {
    if (steps.empty()) return false;
    auto step = std::move(steps.front());
    steps.pop_front();
    step();
    return true;
  }
  void ProcessMessages() override { ++process_calls; }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    boxes.push_back({text, caption, flags});
    if (box_answers.empty()) return platform::IDOK;
    int answer = box_answers.front();
    box_answers.pop_front();
    return answer;
  }
  int TextWidth(const std::string& text) override { return text_width ? text_width(text) : -1; }
};

}  // namespace qr5::testing
