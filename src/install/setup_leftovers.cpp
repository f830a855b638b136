#include "install/setup_leftovers.h"

#include <set>

#include "archive/replace_destination.h"
#include "archive/zip_archive.h"
#include "lang/strip_trailing_backslash.h"
#include "platform/private_temp_folder.h"

namespace qr5::install {

std::vector<std::string> SuiteFolders(const archive::TZipArchive& zip, const std::string& install_dir) {
  const std::string root = lang::StripTrailingBackslash(install_dir);
  std::set<std::string> folders{root};
  for (int i = 0; i < zip.EntryCount(); ++i) {
    const std::string& sub = zip.Entry(i).Directory;
    if (!sub.empty()) folders.insert(root + "\\" + sub);
  }
  return {folders.begin(), folders.end()};
}

std::string RemoveLeftoversOfEndedRuns(const std::string& system_temp, const std::vector<std::string>& folders,
                                       const std::string& own_folder) {
  std::string left;
  if (platform::RemoveEndedPrivateTempFolders(system_temp, kPrivateTempPrefix, own_folder) > 0) {
    left = "a temporary folder of an earlier run below " + system_temp;
  }
  // Another copy's temporary files would be its half-written files.
  if (folders.empty() || platform::OtherRunsAlive(system_temp, kPrivateTempPrefix, own_folder)) return left;
  for (const std::string& folder : folders) {
    if (archive::RemoveStaleTemporaries(folder) == 0) continue;
    left += (left.empty() ? "" : " and ") + ("a temporary file of an earlier run in " + folder);
  }
  return left;
}

}  // namespace qr5::install
