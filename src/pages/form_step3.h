// TFormStep3: the license page.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TFormStep3 : public app::Form {
 public:
  TFormStep3();
};

// Created once at start-up, kept until the process ends.
extern TFormStep3* FormStep3;

}  // namespace qr5::pages
