// Path and name helpers of the archive component, over the platform layer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace qr5::archive {

// Compares without regard to letter case: ASCII and the accented letters of
// the Western ANSI code page.
bool AnsiSameText(const std::string& a, const std::string& b);
// Lower-cases the ASCII letters A to Z only.
std::string LowerAscii(std::string s);

// The extension with its dot (".EXE"), or "" when the name has none.
std::string ExtractFileExt(const std::string& path);
// path with its extension replaced (or ext appended when it has none).
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// Everything up to and including the last "\" (or ":"), or "".
std::string ExtractFilePath(const std::string& path);

bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);
// Creates dir and every missing parent folder; true when it exists after.
bool ForceDirectories(const std::string& dir, uint32_t* error = nullptr);

// A DOS date-time taken as local time, as a Windows file time (UTC), and
// back (the file time in local time, to 2-second precision).
platform::FileTime DosDateTimeToFileTime(uint32_t dos_date_time);
uint32_t FileTimeToDosDateTime(platform::FileTime file_time);

}  // namespace qr5::archive
