// Whether a file of the installation is still as the setup left it: the
// size and CRC-32 of the suite's list (a program INI in its normal form, as
// the setup sets its LanguageFile).
#pragma once

#include <optional>
#include <string>

#include "uninstall/suite_manifest.h"

namespace qr5::uninstall {

// The file's bytes; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// The CRC-32 of data as ZIP computes it.
uint32_t Crc32Of(const std::string& data);

// True when the file at path matches entry.
bool IsUnchanged(const std::string& path, const SuiteFile& entry);

}  // namespace qr5::uninstall
