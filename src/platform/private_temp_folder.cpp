#include "platform/private_temp_folder.h"

#include "platform/file_deletion.h"
#include "platform/platform.h"

namespace qr5::platform {

namespace {

// Enough for the copies of a setup that can run at once and the folders
// crashed runs may have left.
constexpr int kFolderNumbers = 1000;

}  // namespace

std::string MakePrivateTempFolder(const std::string& system_temp, const std::string& prefix) {
  if (system_temp.empty() || system_temp.back() != '\\') return "";
  FileSystem& files = *Sys().files;
  for (int n = 0; n < kFolderNumbers; ++n) {
    const std::string folder = system_temp + prefix + std::to_string(n);
    if (files.CreateDirectory(folder)) return folder + "\\";
    // Taken by another run (or a file): try the next number. Any other
    // failure (no such drive, no rights) will not go away with another name.
    if (files.GetLastError() != ERROR_ALREADY_EXISTS) return "";
  }
  return "";
}

void DeletePrivateTempFolder(const std::string& folder) {
  if (folder.empty() || folder.back() != '\\') return;
  FileSystem& files = *Sys().files;
  // Twice: a file a virus scanner held for a moment goes the second time.
  // What stays is removed by a later run, once this run has ended.
  for (int attempt = 0; attempt < 2; ++attempt) {
    DeleteFolderContents(folder, TreeFailure::kSkip);
    if (files.RemoveDirectory(folder.substr(0, folder.size() - 1))) return;
  }
}

}  // namespace qr5::platform
