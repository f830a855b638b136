// TFormStep4: the destination page.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TFormStep4 : public app::Form {
 public:
  TFormStep4();
};

// Created once at start-up, kept until the process ends.
extern TFormStep4* FormStep4;

}  // namespace qr5::pages
