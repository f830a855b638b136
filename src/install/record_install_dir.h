// The setup's copy of the install folder, from which the program group and
// the finish page build their shortcut targets.
#pragma once

#include <string>

namespace qr5::install {

// Keeps the install folder in the session; touches no registry key.
void RecordInstallDir(const std::string& install_dir);

}  // namespace qr5::install
