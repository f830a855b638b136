// Paths in and below the install folder, which may be a drive root ("C:\")
// when the record was tampered with, compared as Windows compares them:
// as full paths, in the letter case of the code page.
#pragma once

#include <string>

namespace qr5::uninstall {

// dir joined with a relative path by one backslash.
std::string InFolder(const std::string& dir, const std::string& relative);

// The full path Windows makes of path: "/" as "\", "." and ".." folded
// (never above the drive root), empty names dropped, trailing dots and
// blanks of the last name dropped, the drive letter in capitals; no
// trailing backslash but on a drive root. "" for a path without a drive
// ("QR5", "\\server\share"): no record of ours names one.
std::string CanonicalPath(const std::string& path);

// Whether path lies inside dir (both canonical, compared without case).
bool IsInside(const std::string& dir, const std::string& path);

// Whether a and b name the same path (canonical, compared without case).
bool SamePath(const std::string& a, const std::string& b);

// Whether path is a drive root ("C:\").
bool IsDriveRoot(const std::string& path);

}  // namespace qr5::uninstall
