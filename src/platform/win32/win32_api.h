// What the Win32 implementation files include: the platform interface first,
// then the Windows headers. Only the ANSI ("A") functions are called, by
// their explicit names; the generic macros that share their names with the
// interface's methods are removed.
#pragma once

#include "platform/win32/portable_headers.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef CreateMutex
#undef DeleteFile
#undef GetCommandLine
#undef GetCurrentDirectory
#undef GetDiskFreeSpace
#undef GetFileAttributes
#undef GetLogicalDriveStrings
#undef GetModuleFileName
#undef GetShortPathName
#undef GetTempPath
#undef GetWindowsDirectory
#undef MessageBox
#undef OemToAnsi
#undef OpenMutex
#undef RemoveDirectory
#undef SetFileAttributes

#include <cstdint>
#include <memory>
#include <string>

namespace qr5::platform::win32 {

// The services of the machine, one file each.
std::unique_ptr<FileSystem> NewFileSystem();
std::unique_ptr<Profile> NewProfile();
std::unique_ptr<Registry> NewRegistry();
std::unique_ptr<SystemInfo> NewSystemInfo();
std::unique_ptr<Processes> NewProcesses();
std::unique_ptr<Com> NewCom();

// Keys cross the interface as numbers; the predefined roots have the same
// values on both sides.
inline ::HKEY ToWindows(platform::HKEY key) { return reinterpret_cast<::HKEY>(key); }
inline platform::HKEY FromWindows(::HKEY key) { return reinterpret_cast<platform::HKEY>(key); }

// A C string for an API call; the empty text stays "".
inline const char* Z(const std::string& s) { return s.c_str(); }

}  // namespace qr5::platform::win32
