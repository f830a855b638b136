// TFormExitSetup: the exit confirmation.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TFormExitSetup : public app::Form {
 public:
  TFormExitSetup();
};

// Created once at start-up, kept until the process ends.
extern TFormExitSetup* FormExitSetup;

}  // namespace qr5::pages
