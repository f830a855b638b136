#include "uninstall/remove_files.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "install/setup_leftovers.h"
#include "platform/platform.h"
#include "uninstall/install_paths.h"
#include "uninstall/suite_manifest.h"
#include "uninstall/unchanged_file.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

constexpr char kUninstallerName[] = "QR5_UNINSTALLER.EXE";

bool IsFile(const std::string& path) {
  const uint32_t attributes = Sys().files->GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

SuiteFileRemoval::SuiteFileRemoval(std::string dir, std::string own_exe, RemovalResult& result)
    : dir_(std::move(dir)), own_exe_(std::move(own_exe)), result_(result) {
  const std::string installed = InFolder(dir_, kUninstallerName);
  uninstaller_ours_ = IsFile(installed) && (SamePath(installed, own_exe_) || SameBytes(own_exe_, installed));
}

void SuiteFileRemoval::Delete(const std::string& relative) {
  if (!Sys().files->DeleteFile(InFolder(dir_, relative))) {
    ++result_.left;
    return;
  }
  ++result_.removed;
  any_removed_ = true;
  NoteFolders(relative);
}

void SuiteFileRemoval::NoteFolders(const std::string& relative) {
  for (size_t sep = relative.find('\\'); sep != std::string::npos; sep = relative.find('\\', sep + 1)) {
    folders_.insert(Sys().system->UpperCase(relative.substr(0, sep)));
  }
}

void SuiteFileRemoval::RemoveFiles(const RemovalProgress& progress) {
  for (size_t i = 0; i <= kSuiteFileCount; ++i) {
    const SuiteFile& entry = i < kSuiteFileCount ? kSuiteFiles[i] : kHelperLibraryFile;
    if (i == kSuiteFileCount && !uninstaller_ours_) break;
    const std::string path = InFolder(dir_, entry.path);
    if (progress) progress(static_cast<int>(i * 100 / (kSuiteFileCount + 2)), path);
    switch (CompareWithList(path, entry)) {
      case FileState::kUnchanged: Delete(entry.path); break;
      case FileState::kUnreadable: ++result_.left; break;  // ours or not, it cannot be told
      case FileState::kMissing:
      case FileState::kChanged: break;  // a file changed or replaced since is the user's now
    }
  }
}

void SuiteFileRemoval::RemoveUninstaller() {
  if (!uninstaller_ours_) return;  // other bytes: not ours to judge
  const std::string installed = InFolder(dir_, kUninstallerName);
  if (SamePath(installed, own_exe_)) {
    ++result_.left;  // a running program cannot delete its own file
    return;
  }
  Delete(kUninstallerName);
  uninstaller_removed_ = !IsFile(installed);
}

void SuiteFileRemoval::RestoreUninstaller() {
  if (!uninstaller_removed_) return;
  Sys().files->CreateDirectory(dir_);  // gone with the folders; else it is there
  if (Sys().files->CopyFile(own_exe_, InFolder(dir_, kUninstallerName), /*fail_if_exists=*/true)) {
    uninstaller_removed_ = false;
  }
}

void SuiteFileRemoval::RemoveFolder(const std::string& path) {
  if (Sys().files->RemoveDirectory(path)) return;
  const uint32_t error = Sys().files->GetLastError();
  // A folder that holds the user's files stays, as it should.
  if (error != platform::ERROR_DIR_NOT_EMPTY && error != platform::ERROR_FILE_NOT_FOUND &&
      error != platform::ERROR_PATH_NOT_FOUND) {
    ++result_.left;
  }
}

void SuiteFileRemoval::RemoveFolders() {
  // In a folder that holds our uninstaller every folder of the list is
  // ours, also one that an earlier run could not remove; elsewhere only
  // those that this run emptied.
  if (uninstaller_ours_) {
    for (size_t i = 0; i < kSuiteFileCount; ++i) NoteFolders(kSuiteFiles[i].path);
  }
  // What a killed setup left in them would keep them.
  if (any_removed_ || uninstaller_ours_) {
    std::vector<std::string> written{dir_};
    for (const std::string& folder : folders_) written.push_back(InFolder(dir_, folder));
    const std::string temp = Sys().files->GetTempPath();
    if (!install::RemoveEndedRunFolders(temp) || !install::RemoveStaleTemporaries(temp, written, "")) ++result_.left;
  }
  std::vector<std::string> order(folders_.begin(), folders_.end());
  // Deepest first, so a folder goes after its subfolders.
  std::stable_sort(order.begin(), order.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
  });
  for (const std::string& folder : order) RemoveFolder(InFolder(dir_, folder));
  if ((any_removed_ || uninstaller_ours_) && !IsDriveRoot(dir_)) RemoveFolder(dir_);
}

}  // namespace qr5::uninstall
