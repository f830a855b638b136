#include "platform/private_temp_folder.h"

#include "platform/platform.h"

namespace qr5::platform {

namespace {

// Enough for the copies of a setup that can run at once and the folders
// crashed runs may have left.
constexpr int kFolderNumbers = 1000;

void DeleteBelow(FileSystem& files, const std::string& folder, int depth) {
  // The folder is the run's own; a chain deeper than this was not made by it.
  if (depth > 32) return;
  constexpr uint32_t kFilesAndFolders = 0x37;  // no volume labels
  for (auto search = files.FindFirst(folder + "*", kFilesAndFolders); search;) {
    const FindData& found = search->Current();
    const std::string path = folder + found.name;
    if ((found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if (found.name != "." && found.name != "..") {
        DeleteBelow(files, path + "\\", depth + 1);
        files.SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
        files.RemoveDirectory(path);
      }
    } else {
      if ((found.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        files.SetFileAttributes(path, found.attributes & ~FILE_ATTRIBUTE_READONLY);
      }
      files.DeleteFile(path);
    }
    if (!search->Next()) break;
  }
}

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
  DeleteBelow(files, folder, 0);
  files.RemoveDirectory(folder.substr(0, folder.size() - 1));
}

}  // namespace qr5::platform
