// TFormExitSetup: the exit confirmation asked before a page is left.
// Yes gives 6, No 7; its frame gives 2, which the pages take as No.
#pragma once

#include "forms/form.h"

namespace qr5::pages {

class TFormExitSetup : public forms::Form {
 public:
  TFormExitSetup();

  // Loads the texts and puts the focus on NoButton, so Enter answers No.
  void FormShow() override;
};

// Created once at start-up, kept until the process ends.
extern TFormExitSetup* FormExitSetup;

}  // namespace qr5::pages
