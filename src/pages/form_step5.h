// TFormStep5: the progress page, shown without being modal while the
// install actions run. The user cannot close it: no system menu, a disabled
// Cancel button, and Alt+F4 swallowed.
#pragma once

#include <string>

#include "forms/form.h"

namespace qr5::pages {

class TFormStep5 : public forms::Form {
 public:
  TFormStep5();

  void FormCreate();
  void FormShow() override;
  void FormKeyDown(forms::Key key, forms::ShiftState shift, bool& swallow) override;

  // SCProgress1's position, clamped to its range 0..100.
  void SetProgressPosition(int percent);
  // Label2: the file being written.
  void ShowFileName(const std::string& path);
};

// Created once at start-up, kept until the process ends.
extern TFormStep5* FormStep5;

}  // namespace qr5::pages
