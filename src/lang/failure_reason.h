// Why a write failed, as the user is told it: the Windows error sorted into
// a few classes, each with what to do about it, in the chosen language.
#pragma once

#include <cstdint>
#include <string>

#include "lang/ini_file.h"

namespace qr5::lang {

// The error Windows gives for a path longer than the system takes; the
// setup uses it also for the paths it refuses as too long beforehand.
inline constexpr uint32_t kErrorPathTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE

// One sentence: the reason class of error and the advice ("The disk is
// full: free some space on drive C: and run Setup again."). path names the
// file or folder that could not be written, for the drive of a full disk;
// file is the chosen language file (a missing file or key gives English).
// 0 gives "".
std::string FailureReason(const TIniFile& file, uint32_t error, const std::string& path);

}  // namespace qr5::lang
