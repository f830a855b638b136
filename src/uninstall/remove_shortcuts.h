// Removing the suite's shortcuts: those of the program group and its
// manuals subfolder, the desktop icon and the Startup entry, each only when
// it points into the install folder (a shortcut elsewhere is the user's).
#pragma once

#include <string>
#include <vector>

#include "uninstall/removal_result.h"

namespace qr5::uninstall {

// The program group "Quorlin 5" in the Programs folder of the scope that
// the running Windows uses: its links into dir, then the subfolders and the
// group itself when that left them empty.
void RemoveProgramGroup(const std::string& dir, RemovalResult& result);

// <shell folder of kind>\<caption>.lnk for each caption, when it points
// into dir.
void RemoveShortcuts(int kind, const std::vector<std::string>& captions, const std::string& dir,
                     RemovalResult& result);

}  // namespace qr5::uninstall
