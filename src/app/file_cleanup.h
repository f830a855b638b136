// Deleting files and folders the setup owns.
#pragma once

#include <string>

namespace qr5::app {

// Deletes every file in folder (which ends in "\") whose name matches the
// system wildcard mask. Files that cannot be deleted stay; nothing is
// reported.
void DeleteFilesByMask(const std::string& folder, const std::string& mask);

// Deletes folder with all its files and subfolders, clearing read-only
// attributes first; a drive root is emptied but never removed. Raises
// std::runtime_error with the system's text for the first step that fails;
// what was deleted before stays deleted.
void DeleteFolderTree(const std::string& folder);

}  // namespace qr5::app
