// A folder of the run's own below the system's temporary folder, so that
// what one run puts there cannot meet another program's files, nor those of
// a second copy running at the same time, and can all go at the end.
#pragma once

#include <string>

namespace qr5::platform {

// Makes a new, empty folder "<prefix><n>" below system_temp (which ends in
// "\"), taking the first number no folder or file uses yet. Returns its path
// ending in "\", or "" when system_temp is empty or no folder could be made.
// The run holds a mutex named after the folder until it ends (also when it
// is killed), so later runs can tell a folder whose run has ended.
std::string MakePrivateTempFolder(const std::string& system_temp, const std::string& prefix);

// Whether a run other than the one of own_folder (a path as made above, or
// "") holds a private folder below system_temp.
bool OtherRunsAlive(const std::string& system_temp, const std::string& prefix, const std::string& own_folder);

// Deletes the private folders below system_temp whose runs have ended (a
// killed run leaves its folder); own_folder and those of running copies stay.
// Returns how many could not be deleted wholly.
int RemoveEndedPrivateTempFolders(const std::string& system_temp, const std::string& prefix,
                                  const std::string& own_folder);

// Deletes folder (ending in "\") with everything in it, read-only files
// included. Whatever cannot be deleted stays; nothing is reported.
void DeletePrivateTempFolder(const std::string& folder);

}  // namespace qr5::platform
