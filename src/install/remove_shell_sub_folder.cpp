#include "install/remove_shell_sub_folder.h"

#include "install/shell_folders.h"
#include "platform/file_deletion.h"
#include "platform/platform.h"

namespace qr5::install {

using platform::Sys;

void RemoveShellSubFolder(const std::string& sub_path) {
  const std::string programs = GetShellFolder(sfPrograms);
  if (programs.empty()) return;
  const std::string folder = programs + sub_path;
  const uint32_t attributes = Sys().files->GetFileAttributes(folder);
  if (attributes != platform::INVALID_FILE_ATTRIBUTES &&
      (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    platform::DeleteFolderTree(folder);
  }
}

}  // namespace qr5::install
