// Folder paths are kept without a trailing backslash where names beginning
// with "\" are appended to them.
#pragma once

#include <string>

namespace qr5::lang {

// The path without its last character when that is a backslash (not the
// trail byte of a double-byte character); only one backslash goes, and an
// empty path stays empty.
std::string StripTrailingBackslash(const std::string& path);

}  // namespace qr5::lang
