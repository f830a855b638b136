// A helper library shipped beside the setup, not in it, copied into the
// install folder when it is there.
#pragma once

#include <string>

namespace qr5::install {

// Copies <setup_dir>KAVO5.DLL into install_dir, writable; nothing when the
// setup has none beside it. Not essential to the suite: a failed copy is
// not told.
void InstallHelperLibrary(const std::string& setup_dir, const std::string& install_dir);

}  // namespace qr5::install
