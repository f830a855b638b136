// Removing the suite's files from the install folder by the suite's list:
// never a whole tree, never a file the user changed or made, and of the
// folders only those that the removal left empty.
#pragma once

#include <functional>
#include <string>

#include "uninstall/removal_result.h"

namespace qr5::uninstall {

// Deletes every file of the list that is unchanged, the helper library
// KAVO5.DLL, and the installed uninstaller when it has the running
// program's bytes (own_exe); then the folders emptied by it, the install
// folder last. before_uninstaller, when given, runs when only the installed
// uninstaller and the install folder are left to judge (a process that
// runs from it may have to end first).
void RemoveSuiteFiles(const std::string& dir, const std::string& own_exe,
                      const RemovalProgress& progress, RemovalResult& result,
                      const std::function<void()>& before_uninstaller = {});

}  // namespace qr5::uninstall
