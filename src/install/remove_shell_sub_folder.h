// Taking away the setup's earlier program group before it makes a new one:
// only the shortcuts that point into the install folder, and the folders
// that leaves empty. The user's own files and folders in the group stay.
#pragma once

#include <string>

namespace qr5::install {

// In <Programs folder> + sub_path and its folders one level below: deletes
// each shortcut whose target lies in install_dir or in earlier_dir (the
// folder recorded before, whose shortcuts the new group replaces; "" for
// none), then each folder left empty. A shortcut that cannot be deleted is
// noted in the outcome record.
void RemoveShellSubFolder(const std::string& sub_path, const std::string& install_dir,
                          const std::string& earlier_dir = "");

}  // namespace qr5::install
