// TDlgError: the error dialog.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TDlgError : public app::Form {
 public:
  TDlgError();
};

// Created once at start-up, kept until the process ends.
extern TDlgError* DlgError;

}  // namespace qr5::pages
