// The single-instance guard: a named mutex per executable file name.
#pragma once

#include <string>

namespace qr5::app {

// True when another process already holds the mutex named name (names are
// compared with case), or when the mutex can neither be opened nor created.
// Otherwise creates it; it then lives as long as this process.
bool IsAlreadyRunning(const std::string& name);

// The file name of an executable path: what follows its last "\" or ":".
std::string ExecutableFileName(const std::string& path);

}  // namespace qr5::app
