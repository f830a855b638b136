#include "app/file_cleanup.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <stdexcept>

#include "platform/platform.h"

namespace qr5::app {

namespace {

using platform::Sys;

// Every attribute a search may match: read-only, hidden, system, volume
// label, directory, archive.
constexpr uint32_t kAnyFile = 63;
// The same without volume labels.
constexpr uint32_t kFilesAndFolders = 55;

// The system's text for the last failing call, as the runtime shows it
// (trailing line breaks and periods removed).
[[noreturn]] void RaiseLastError() {
  platform::FileSystem& files = *Sys().files;
  std::string text = files.SystemErrorText(files.GetLastError());
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  throw std::runtime_error(text);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void ClearReadOnlyOf(const std::string& path) {
  const uint32_t attributes = Sys().files->GetFileAttributes(path);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES) RaiseLastError();
  if (attributes & platform::FILE_ATTRIBUTE_READONLY)
    Sys().files->SetFileAttributes(path, attributes & ~platform::FILE_ATTRIBUTE_READONLY);
}

// folder ends in "\"; drive_list is NUL + each drive root + NUL, upper case.
void DeleteTree(const std::string& folder, const std::string& drive_list) {
  platform::FileSystem& files = *Sys().files;
  {
    // Released when it goes out of scope, also when an error leaves the loop.
    std::unique_ptr<platform::FileSearch> search = files.FindFirst(folder + "*", kFilesAndFolders);
    if (search) {
      do {
        const platform::FindData& entry = search->Current();
        const std::string& name = entry.short_name.empty() ? entry.name : entry.short_name;
        const std::string path = folder + name;
        if (entry.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
          if (name != "." && name != "..") DeleteTree(path + "\\", drive_list);
        } else {
          ClearReadOnlyOf(path);
          if (!files.DeleteFile(path)) RaiseLastError();
        }
      } while (search->Next());
    }
  }
  // A drive root is emptied, never removed.
  if (drive_list.find(std::string(1, '\0') + folder + std::string(1, '\0')) != std::string::npos)
    return;
  ClearReadOnlyOf(folder);
  if (!files.RemoveDirectory(folder)) RaiseLastError();
}

}  // namespace

void DeleteFilesByMask(const std::string& folder, const std::string& mask) {
  platform::FileSystem& files = *Sys().files;
  std::unique_ptr<platform::FileSearch> search = files.FindFirst(folder + mask, kAnyFile);
  if (!search) return;
  do {
    files.DeleteFile(folder + search->Current().name);  // failures are not examined
  } while (search->Next());
}

void DeleteFolderTree(const std::string& folder) {
  platform::FileSystem& files = *Sys().files;
  const std::string drives = files.GetLogicalDriveStrings();
  if (drives.empty()) RaiseLastError();
  const std::string drive_list = Upper(std::string(1, '\0') + drives);

  std::string root = files.GetShortPathName(folder);
  if (root.empty()) RaiseLastError();
  root = Upper(root);
  if (root.back() != '\\') root += '\\';
  DeleteTree(root, drive_list);
}

}  // namespace qr5::app
