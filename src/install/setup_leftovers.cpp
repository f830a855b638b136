#include "install/setup_leftovers.h"

#include "archive/replace_destination.h"
#include "platform/private_temp_folder.h"

namespace qr5::install {

bool RemoveLeftoversOfEndedRuns(const std::string& system_temp, const std::vector<std::string>& folders,
                                       const std::string& own_folder) {
  int left = platform::RemoveEndedPrivateTempFolders(system_temp, kPrivateTempPrefix, own_folder);
  // Another copy's temporary files would be its half-written files.
  if (!folders.empty() && !platform::OtherRunsAlive(system_temp, kPrivateTempPrefix, own_folder)) {
    for (const std::string& folder : folders) left += archive::RemoveStaleTemporaries(folder);
  }
  return left == 0;
}

}  // namespace qr5::install
