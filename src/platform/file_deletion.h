// Deleting files and folders: by a wildcard mask in one folder, and a whole
// folder tree. The setup's clean-up, its private temporary folder and the
// program group's removal all go through the one tree walk here.
#pragma once

#include <string>

namespace qr5::platform {

// Deletes every file in folder (which ends in "\") whose name matches the
// system wildcard mask. Files that cannot be deleted stay; nothing is
// reported.
void DeleteFilesByMask(const std::string& folder, const std::string& mask);

// What a tree deletion does when a step fails.
enum class TreeFailure {
  kRaise,  // an Error with the system's text; what went stays gone
  kSkip,   // what cannot be deleted stays, nothing is reported
};

// Deletes every file and folder below folder (which ends in "\"), clearing
// read-only attributes first; folder itself stays.
void DeleteFolderContents(const std::string& folder, TreeFailure on_failure);

// Deletes folder with all its files and subfolders, clearing read-only
// attributes first; a drive root is emptied but never removed. Raises
// an Error with the system's text for the first step that fails;
// what was deleted before stays deleted.
void DeleteFolderTree(const std::string& folder);

}  // namespace qr5::platform
