// TFormStep2: the welcome page.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TFormStep2 : public app::Form {
 public:
  TFormStep2();
};

// Created once at start-up, kept until the process ends.
extern TFormStep2* FormStep2;

}  // namespace qr5::pages
