// Deleting folders the setup owns.
#pragma once

#include <string>

namespace qr5::app {

// Deletes folder with all its files and subfolders, clearing read-only
// attributes first; a drive root is emptied but never removed. Raises with
// the system's text for the first step that fails; what was deleted before
// stays deleted.
void DeleteFolderTree(const std::string& folder);

}  // namespace qr5::app
