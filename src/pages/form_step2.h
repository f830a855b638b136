// TFormStep2: the welcome page. Next gives 1; Cancel and the window frame
// ask in the exit dialog and give 2 when the user confirms.
#pragma once

#include "forms/form.h"

namespace qr5::pages {

class TFormStep2 : public forms::Form {
 public:
  TFormStep2();

  void FormShow() override;
  void FormClose(forms::CloseAction& action) override;
  void NextButtonClick();

 private:
  bool confirm_close_ = true;
};

// Created once at start-up, kept until the process ends.
extern TFormStep2* FormStep2;

}  // namespace qr5::pages
