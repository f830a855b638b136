#include "install/remove_shell_sub_folder.h"

#include <memory>
#include <vector>

#include "install/install_outcome.h"
#include "install/shell_folders.h"
#include "platform/platform.h"

namespace qr5::install {

namespace {

using platform::Sys;

bool EndsWithLnk(const std::string& name) {
  return name.size() >= 4 && Sys().system->UpperCase(name.substr(name.size() - 4)) == ".LNK";
}

// The target in dir or below, compared in the code page's letter case.
bool Inside(const std::string& target, std::string dir) {
  if (dir.empty()) return false;
  platform::SystemInfo& system = *Sys().system;
  dir = system.UpperCase(dir);
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return system.UpperCase(target).rfind(dir + '\\', 0) == 0;
}

bool PointsInto(const std::string& link_path, const std::vector<std::string>& dirs) {
  std::unique_ptr<platform::ShellLink> link = Sys().com->CreateShellLink();
  if (!link || !link->Load(link_path)) return false;
  const std::string target = link->GetPath();
  for (const std::string& dir : dirs) {
    if (Inside(target, dir)) return true;
  }
  return false;
}

// Deletes the links in folder that point into dir; the names of its
// subfolders.
std::vector<std::string> RemoveLinksIn(const std::string& folder, const std::vector<std::string>& dirs) {
  const LinksAndFolders found = ListLinksAndFolders(folder);
  // Deleted after the search, which must not see its folder change.
  for (const std::string& name : found.links) {
    const std::string path = folder + "\\" + name;
    if (!PointsInto(path, dirs)) continue;
    platform::FileSystem& files = *Sys().files;
    const uint32_t attributes = files.GetFileAttributes(path);
    if (attributes != platform::INVALID_FILE_ATTRIBUTES && (attributes & platform::FILE_ATTRIBUTE_READONLY) != 0 &&
        !files.SetFileAttributes(path, attributes & ~platform::FILE_ATTRIBUTE_READONLY)) {
      NoteFailure(path, files.GetLastError());
    } else if (!files.DeleteFile(path)) {
      NoteFailure(path, files.GetLastError());
    }
  }
  return found.subfolders;
}

}  // namespace

LinksAndFolders ListLinksAndFolders(const std::string& folder) {
  LinksAndFolders found;
  if (auto search = Sys().files->FindFirst(folder + "\\*.*", platform::FILE_ATTRIBUTE_DIRECTORY)) {
    do {
      const platform::FindData& entry = search->Current();
      if (entry.name == "." || entry.name == "..") continue;
      if (entry.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
        found.subfolders.push_back(entry.name);
      } else if (EndsWithLnk(entry.name)) {
        found.links.push_back(entry.name);
      }
    } while (search->Next());
  }
  return found;
}

void RemoveShellSubFolder(const std::string& sub_path, const std::string& install_dir,
                          const std::string& earlier_dir) {
  const std::vector<std::string> dirs = {install_dir, earlier_dir};
  const std::string programs = GetShellFolder(sfPrograms);
  if (programs.empty()) return;
  const std::string group = programs + sub_path;
  const uint32_t attributes = Sys().files->GetFileAttributes(group);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES || (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return;
  }
  for (const std::string& sub : RemoveLinksIn(group, dirs)) {
    RemoveLinksIn(group + "\\" + sub, dirs);
    // Only an empty folder goes; one that holds the user's files stays.
    Sys().files->RemoveDirectory(group + "\\" + sub);
  }
}

}  // namespace qr5::install
