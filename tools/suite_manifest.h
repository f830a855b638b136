// The uninstaller's list of the suite's files, written as a C++ source file
// from the suite folder the setup's payload is packed from.
#pragma once

#include <map>
#include <string>

namespace qr5::tools {

// Writes out_cpp for every file below folder except those named in exclude
// (paths relative to folder, "\"-separated, compared without case); a file
// named in substitutes is listed with the bytes of the host file given
// (the payload carries that one in its place). helper is the library the
// setup copies from beside itself, listed on its own as KAVO5.DLL ("" lists
// none, which no file matches). Returns "" or the reason it failed.
std::string WriteSuiteManifest(const std::string& folder, const std::string& out_cpp,
                               const std::string& exclude,
                               const std::map<std::string, std::string>& substitutes,
                               const std::string& helper);

}  // namespace qr5::tools
