#include "uninstall/remove_shortcuts.h"

#include <memory>
#include <vector>

#include "install/program_group.h"
#include "install/remove_shell_sub_folder.h"
#include "install/shell_folders.h"
#include "install/shell_link.h"
#include "platform/platform.h"
#include "uninstall/install_paths.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

bool PointsInto(const std::string& link_path, const std::string& dir) {
  std::unique_ptr<platform::ShellLink> link = Sys().com->CreateShellLink();
  return link && link->Load(link_path) && IsInside(dir, link->GetPath());
}

void RemoveLinkInto(const std::string& link_path, const std::string& dir, RemovalResult& result) {
  if (!PointsInto(link_path, dir)) return;
  if (Sys().files->DeleteFile(link_path)) {
    ++result.removed;
  } else {
    ++result.left;
  }
}

// The links in folder that point into dir; the names of its subfolders.
std::vector<std::string> RemoveLinksIn(const std::string& folder, const std::string& dir,
                                       RemovalResult& result) {
  const install::LinksAndFolders found = install::ListLinksAndFolders(folder);
  // Deleted after the search, which must not see its folder change.
  for (const std::string& name : found.links) RemoveLinkInto(folder + "\\" + name, dir, result);
  return found.subfolders;
}

// A folder that still holds the user's shortcuts stays, as it should; any
// other failure leaves something of ours.
void RemoveFolder(const std::string& path, RemovalResult& result) {
  if (Sys().files->RemoveDirectory(path)) return;
  const uint32_t error = Sys().files->GetLastError();
  if (error != platform::ERROR_DIR_NOT_EMPTY && error != platform::ERROR_FILE_NOT_FOUND &&
      error != platform::ERROR_PATH_NOT_FOUND) {
    ++result.left;
  }
}

}  // namespace

void RemoveProgramGroup(const std::string& dir, RemovalResult& result) {
  const std::string programs = install::GetShellFolder(install::sfPrograms);
  if (programs.empty()) return;
  const std::string group = programs + install::kGroupSubPath;
  for (const std::string& sub : RemoveLinksIn(group, dir, result)) {
    RemoveLinksIn(group + "\\" + sub, dir, result);
    RemoveFolder(group + "\\" + sub, result);
  }
  RemoveFolder(group, result);
}

void RemoveShortcuts(int kind, const std::vector<std::string>& captions, const std::string& dir,
                     RemovalResult& result) {
  const std::string folder = install::GetShellFolder(kind);
  if (folder.empty()) return;
  for (const std::string& caption : captions) {
    RemoveLinkInto(folder + "\\" + install::LinkFileName(caption) + ".lnk", dir, result);
  }
}

}  // namespace qr5::uninstall
