// TFormStep3: the license page. Shows the license text of the chosen
// language; Next (1) is possible only while the agreement is accepted.
// Back gives 100; Cancel, Escape and the frame ask before giving 2.
#pragma once

#include "forms/form.h"

namespace qr5::pages {

class TFormStep3 : public forms::Form {
 public:
  TFormStep3();

  void FormShow() override;
  void FormClose(forms::CloseAction& action) override;
  void NextButtonClick();
  void BackButtonClick();
  void RBAcceptClick();
  void RBDontAcceptClick();

 private:
  void LoadLicense();
  bool confirm_close_ = true;
};

// Created once at start-up, kept until the process ends.
extern TFormStep3* FormStep3;

}  // namespace qr5::pages
