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

// Deletes the private folders of ended runs below system_temp (own_folder
// stays) and, while no other copy of the setup runs, the temporary files in
// the folders given (those the suite is written to: never a whole tree, which
// may hold other programs). False when something stays.
bool RemoveLeftoversOfEndedRuns(const std::string& system_temp, const std::vector<std::string>& folders,
                                       const std::string& own_folder);

}  // namespace qr5::install
