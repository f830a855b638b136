// TFormStep6: the finish page.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TFormStep6 : public app::Form {
 public:
  TFormStep6();
};

// Created once at start-up, kept until the process ends.
extern TFormStep6* FormStep6;

}  // namespace qr5::pages
