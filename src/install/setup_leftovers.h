// What a killed setup run leaves behind, and its removal by a later run or
// by the uninstaller: the run's private folder below the temporary folder,
// and the temporary files of its writes ("~QR<n>.TMP") in the install folder.
#pragma once

#include <string>
#include <vector>

namespace qr5::install {

// The name of a run's private folder below the temporary folder, followed
// by a number.
inline constexpr char kPrivateTempPrefix[] = "QR5SETUP";

// Deletes the private folders of ended runs below system_temp; false when
// one stays.
bool RemoveEndedRunFolders(const std::string& system_temp);

// While no copy of the setup but the one of own_folder runs, deletes the
// temporary files of killed runs in the folders given (those the suite is
// written to: never a whole tree, which may hold other programs); another
// copy's would be its half-written files. False when one stays.
bool RemoveStaleTemporaries(const std::string& system_temp, const std::vector<std::string>& folders,
                            const std::string& own_folder);

}  // namespace qr5::install
