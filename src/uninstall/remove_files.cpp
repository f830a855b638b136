#include "uninstall/remove_files.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/platform.h"
#include "uninstall/install_paths.h"
#include "uninstall/suite_manifest.h"
#include "uninstall/unchanged_file.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

constexpr char kUninstallerName[] = "QR5_UNINSTALLER.EXE";
constexpr char kHelperLibrary[] = "KAVO5.DLL";

bool IsFile(const std::string& path) {
  const uint32_t attributes = Sys().files->GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool SamePath(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Sys().system->UpperCase(a) == Sys().system->UpperCase(b);
}

// Folders of the install folder, by their paths relative to it, in which
// something was removed; upper-cased so that the letter case of the list
// and of the disk do not count twice.
class EmptiedFolders {
 public:
  void Note(const std::string& relative_file) {
    for (size_t sep = relative_file.find('\\'); sep != std::string::npos;
         sep = relative_file.find('\\', sep + 1)) {
      folders_.insert(Sys().system->UpperCase(relative_file.substr(0, sep)));
    }
    any_ = true;
  }
  // Deepest first, so a folder goes after its subfolders; RemoveDirectory
  // refuses every folder that still holds something.
  void RemoveSubfolders(const std::string& dir) const {
    std::vector<std::string> order(folders_.begin(), folders_.end());
    std::sort(order.begin(), order.end(), [](const std::string& a, const std::string& b) {
      return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
    });
    for (const std::string& folder : order) Sys().files->RemoveDirectory(InFolder(dir, folder));
  }
  // The install folder itself, last.
  void RemoveFolder(const std::string& dir) const {
    if (any_) Sys().files->RemoveDirectory(dir);
  }

 private:
  std::set<std::string> folders_;
  bool any_ = false;
};

void Delete(const std::string& dir, const std::string& relative, EmptiedFolders& emptied,
            RemovalResult& result) {
  if (Sys().files->DeleteFile(InFolder(dir, relative))) {
    ++result.removed;
    emptied.Note(relative);
  } else {
    ++result.left;
  }
}

}  // namespace

void RemoveSuiteFiles(const std::string& dir, const std::string& own_exe,
                      const RemovalProgress& progress, RemovalResult& result,
                      const std::function<void()>& before_uninstaller) {
  EmptiedFolders emptied;
  for (size_t i = 0; i < kSuiteFileCount; ++i) {
    const SuiteFile& entry = kSuiteFiles[i];
    const std::string path = InFolder(dir, entry.path);
    if (progress) progress(static_cast<int>(i * 100 / (kSuiteFileCount + 2)), path);
    // A file changed or replaced since is the user's now and stays.
    if (IsUnchanged(path, entry)) Delete(dir, entry.path, emptied, result);
  }

  // Copied from beside the setup, not from the suite: known by name only.
  if (IsFile(InFolder(dir, kHelperLibrary))) Delete(dir, kHelperLibrary, emptied, result);

  // The uninstaller of the installation is this program, unless it has
  // other bytes (then it is not ours to judge).
  // All but the install folder, which still holds the uninstaller.
  emptied.RemoveSubfolders(dir);
  if (before_uninstaller) before_uninstaller();
  const std::string installed = InFolder(dir, kUninstallerName);
  if (progress) progress(100, installed);
  if (IsFile(installed)) {
    if (SamePath(installed, own_exe)) {
      ++result.left;  // a running program cannot delete its own file
    } else {
      const std::optional<std::string> mine = ReadWholeFile(own_exe);
      const std::optional<std::string> theirs = ReadWholeFile(installed);
      if (mine && theirs && *mine == *theirs) Delete(dir, kUninstallerName, emptied, result);
    }
  }
  emptied.RemoveFolder(dir);
}

}  // namespace qr5::uninstall
