// The files of the suite as the setup installs them into the install folder:
// their paths, sizes and CRC-32, taken at build time from the suite the
// setup carries. The setup writes no log; this list is what the uninstaller
// knows of the installation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qr5::uninstall {

struct SuiteFile {
  const char* path;  // relative to the install folder, as the archive stores it
  uint32_t size;
  uint32_t crc32;
  // For an INI with a [Setup] section, whose "LanguageFile" the setup sets:
  // the line as shipped, or "" when the file shipped without one (the setup
  // adds it). The file counts as unchanged when it matches with that line
  // put back or taken out. Null for every other file.
  const char* language_line;
};

extern const SuiteFile kSuiteFiles[];
extern const size_t kSuiteFileCount;

}  // namespace qr5::uninstall
