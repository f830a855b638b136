// TDlgBrowseInstallPath: the folder browse dialog.
#pragma once

#include "app/form.h"

namespace qr5::pages {

class TDlgBrowseInstallPath : public app::Form {
 public:
  TDlgBrowseInstallPath();
};

// Created once at start-up, kept until the process ends.
extern TDlgBrowseInstallPath* DlgBrowseInstallPath;

}  // namespace qr5::pages
