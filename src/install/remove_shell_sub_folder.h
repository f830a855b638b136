// Taking away the setup's earlier program group before it makes a new one:
// only the shortcuts that point into the install folder, and the folders
// that leaves empty. The user's own files and folders in the group stay.
#pragma once

#include <string>
#include <vector>

namespace qr5::install {

// What a folder of the group holds that concerns us: its shortcuts (names
// ending in ".lnk" in any letter case) and its subfolders, in the order the
// search found them. Also the uninstaller's view of a group folder.
struct LinksAndFolders {
  std::vector<std::string> links;
  std::vector<std::string> subfolders;
};
LinksAndFolders ListLinksAndFolders(const std::string& folder);

// In <Programs folder> + sub_path and its folders one level below: deletes
// each shortcut whose target lies in install_dir or in earlier_dir (the
// folder recorded before, whose shortcuts the new group replaces; "" for
// none), then each folder left empty. A shortcut that cannot be deleted is
// noted in the outcome record.
void RemoveShellSubFolder(const std::string& sub_path, const std::string& install_dir,
                          const std::string& earlier_dir = "");

}  // namespace qr5::install
