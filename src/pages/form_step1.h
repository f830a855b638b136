// TFormStep1: the language page.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TFormStep1 : public app::Form {
 public:
  TFormStep1();
};

// Created once at start-up, kept until the process ends.
extern TFormStep1* FormStep1;

}  // namespace qr5::pages
