// TFormStep6: the finish page. Finish (1) makes the shortcuts whose boxes
// are checked: the Startup entry for HERALDO.EXE and the desktop icon for
// QR5.EXE. Its close box gives 2 and makes none.
#pragma once

#include "forms/form.h"

namespace qr5::pages {

class TFormStep6 : public forms::Form {
 public:
  TFormStep6();

  void FormShow() override;
  void FinishButtonClick();
};

// Created once at start-up, kept until the process ends.
extern TFormStep6* FormStep6;

}  // namespace qr5::pages
