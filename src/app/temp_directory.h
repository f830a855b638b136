// The user's temporary folder.
#pragma once

#include <string>

namespace qr5::app {

// The system's temporary folder (GetTempPathA, 260 characters), ending in
// "\"; empty when the system reports none.
std::string GetWindowsTempDirectory();

}  // namespace qr5::app
