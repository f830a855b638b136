// The writing side of qr5pack: a ZIP of a host folder appended to a stub, with
// every offset counted from the first byte of the output file.
#pragma once

#include <string>

namespace qr5::tools {

// Writes out = stub followed by a ZIP of every file and folder below folder
// (deflated, or stored where that is smaller). Names are relative to folder
// with "/". Returns "" on success, else the reason.
std::string PackFolder(const std::string& stub, const std::string& folder, const std::string& out);

}  // namespace qr5::tools
