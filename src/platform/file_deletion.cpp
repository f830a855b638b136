#include "platform/file_deletion.h"

#include <memory>

#include "platform/error.h"
#include "platform/platform.h"

namespace qr5::platform {

namespace {

// Every attribute a search may match: read-only, hidden, system, volume
// label, directory, archive.
constexpr uint32_t kAnyFile = 63;
// The same without volume labels.
constexpr uint32_t kFilesAndFolders = kAnyFile & ~FILE_ATTRIBUTE_VOLUME;
// A chain of folders deeper than this was made by no program of ours.
constexpr int kMaxDepth = 32;

// The system's text for the last failing call, as the runtime shows it
// (trailing line breaks and periods removed).
[[noreturn]] void RaiseLastError() {
  FileSystem& files = *Sys().files;
  std::string text = files.SystemErrorText(files.GetLastError());
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  throw Error(text);
}

void Check(bool done, TreeFailure on_failure) {
  if (!done && on_failure == TreeFailure::kRaise) RaiseLastError();
}

void ClearReadOnlyOf(const std::string& path, TreeFailure on_failure) {
  const uint32_t attributes = Sys().files->GetFileAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Check(false, on_failure);
    return;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY)
    Sys().files->SetFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

void DeleteBelow(const std::string& folder, int depth, TreeFailure on_failure) {
  if (depth > kMaxDepth) return;
  FileSystem& files = *Sys().files;
  // Released when it goes out of scope, also when an error leaves the loop.
  std::unique_ptr<FileSearch> search = files.FindFirst(folder + "*", kFilesAndFolders);
  if (!search) return;
  do {
    const FindData& entry = search->Current();
    const std::string& name = entry.short_name.empty() ? entry.name : entry.short_name;
    const std::string path = folder + name;
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name == "." || name == "..") continue;
      DeleteBelow(path + "\\", depth + 1, on_failure);
      ClearReadOnlyOf(path, on_failure);
      Check(files.RemoveDirectory(path), on_failure);
    } else {
      ClearReadOnlyOf(path, on_failure);
      Check(files.DeleteFile(path), on_failure);
    }
  } while (search->Next());
}

}  // namespace

void DeleteFilesByMask(const std::string& folder, const std::string& mask) {
  FileSystem& files = *Sys().files;
  std::unique_ptr<FileSearch> search = files.FindFirst(folder + mask, kAnyFile);
  if (!search) return;
  do {
    files.DeleteFile(folder + search->Current().name);  // failures are not examined
  } while (search->Next());
}

void DeleteFolderContents(const std::string& folder, TreeFailure on_failure) {
  DeleteBelow(folder, 0, on_failure);
}

void DeleteFolderTree(const std::string& folder) {
  FileSystem& files = *Sys().files;
  const std::string drives = files.GetLogicalDriveStrings();
  if (drives.empty()) RaiseLastError();
  SystemInfo& system = *Sys().system;
  const std::string drive_list = system.UpperCase(std::string(1, '\0') + drives);

  std::string root = files.GetShortPathName(folder);
  if (root.empty()) RaiseLastError();
  root = system.UpperCase(root);
  if (root.back() != '\\') root += '\\';
  DeleteBelow(root, 0, TreeFailure::kRaise);
  // A drive root is emptied, never removed.
  if (drive_list.find(std::string(1, '\0') + root + std::string(1, '\0')) != std::string::npos)
    return;
  ClearReadOnlyOf(root, TreeFailure::kRaise);
  if (!files.RemoveDirectory(root)) RaiseLastError();
}

}  // namespace qr5::platform
