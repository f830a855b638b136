// machine.ini: the settings of a simulated machine, each with the default
// of a Windows XP SP2 machine when the file or the key is missing.
//
//   [Version]   PlatformId=2  Major=5  Minor=1  Build=2600  CSDVersion=Service Pack 2
//   [Locale]    LanguageName=English (United States)
//               CodePage=1252      the ANSI code page: 1252, 932, 936, 949 or 950
//   [Paths]     TempDir=C:\WINDOWS\TEMP\ (ends in a backslash)
//   [FreeSpace] C=10737418240      bytes free on drive C:, else the host's free space
//   [Drives]    A=NotReady         a drive listed but holding no medium
//
// Numbers are decimal or 0x-hexadecimal; a text in double quotes keeps its
// blanks (CSDVersion=" A "). Anything else is refused with the
// file name and line, so a typing error never goes unnoticed.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/platform.h"

namespace qr5::platform::sim {

struct MachineConfig {
  OsVersion version{2, 5, 1, 2600, "Service Pack 2"};
  std::string language_name = "English (United States)";
  int code_page = 1252;  // the ANSI code page
  std::string temp_dir = "C:\\WINDOWS\\TEMP\\";
  std::map<char, int64_t> free_space;  // by upper-case drive letter
  std::string not_ready_drives;        // upper-case letters
};

// Throws std::runtime_error("<path>:<line>: <what>") for a file it cannot
// parse; a missing file gives the defaults.
MachineConfig LoadMachineConfig(const std::string& path);

// The machine.ini a new machine starts with.
std::string DefaultMachineIni();

// Sets one key of machine.ini, keeping the rest of the file; a text with
// blanks at either end is written in quotes.
bool WriteMachineSetting(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& value);

}  // namespace qr5::platform::sim
