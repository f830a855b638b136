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
  // A program INI (one with a [Setup] section) is listed by the size and
  // CRC-32 of its normal form (lang/ini_normal_form.h), every other
  // file by those of its bytes.
  uint32_t size;
  uint32_t crc32;
  bool setup_ini;
};

extern const SuiteFile kSuiteFiles[];
extern const size_t kSuiteFileCount;

// The helper library KAVO5.DLL as the build ships it beside the setup (not
// in the payload): the uninstaller deletes only a library with these bytes.
extern const SuiteFile kHelperLibraryFile;

}  // namespace qr5::uninstall
