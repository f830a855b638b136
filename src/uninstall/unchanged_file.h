// Whether a file of the installation is still as the setup left it: the
// size and CRC-32 of the suite's list (a program INI in its normal form, as
// the setup sets its LanguageFile). The size is compared first and the
// CRC-32 computed as the file is read, so a file of any size costs no more
// memory than one buffer.
#pragma once

#include <string>

#include "uninstall/suite_manifest.h"

namespace qr5::uninstall {

enum class FileState {
  kMissing,     // no file of that name (a folder of that name is the user's: changed)
  kUnchanged,
  kChanged,     // the user's now
  kUnreadable,  // there, but it could not be read (held open, no rights)
};

FileState CompareWithList(const std::string& path, const SuiteFile& entry);

// Whether both files can be read and hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b);

}  // namespace qr5::uninstall
