// TFormStep5: the progress page.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TFormStep5 : public app::Form {
 public:
  TFormStep5();
};

// Created once at start-up, kept until the process ends.
extern TFormStep5* FormStep5;

}  // namespace qr5::pages
