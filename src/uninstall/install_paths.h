// Paths in and below the install folder, which may be a drive root ("C:\")
// when the record was tampered with.
#pragma once

#include <string>

namespace qr5::uninstall {

// dir joined with a relative path by one backslash.
std::string InFolder(const std::string& dir, const std::string& relative);

// Whether path lies inside dir (compared without case).
bool IsInside(const std::string& dir, const std::string& path);

}  // namespace qr5::uninstall
