#include "install/setup_leftovers.h"

#include "archive/replace_destination.h"
#include "platform/private_temp_folder.h"

namespace qr5::install {

bool RemoveEndedRunFolders(const std::string& system_temp) {
  return platform::RemoveEndedPrivateTempFolders(system_temp, kPrivateTempPrefix, "") == 0;
}

bool RemoveStaleTemporaries(const std::string& system_temp, const std::vector<std::string>& folders,
                            const std::string& own_folder) {
  if (platform::OtherRunsAlive(system_temp, kPrivateTempPrefix, own_folder)) return true;
  int left = 0;
  for (const std::string& folder : folders) left += archive::RemoveStaleTemporaries(folder);
  return left == 0;
}

}  // namespace qr5::install
