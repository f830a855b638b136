#include "install/shell_link.h"

#include "install/install_outcome.h"
#include "platform/error.h"
#include "platform/platform.h"

namespace qr5::install {

using platform::Sys;

std::string LinkFileName(const std::string& caption) {
  // A caption such as "Safekeep/Restore manual" would otherwise name a file
  // in a folder that does not exist, and its shortcut would be lost.
  std::string name = caption;
  for (char& c : name) {
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
        c = '-';
        break;
      default:
        break;
    }
  }
  return name;
}

void CreateShellLink(const std::string& target, const std::string& caption, int kind,
                     const std::string& sub_path) {
  std::unique_ptr<platform::ShellLink> link = Sys().com->CreateShellLink();
  if (!link) throw Error("Unable to create a shell link object");

  link->SetPath(target);
  // The working folder is the target's own folder, backslash included.
  const size_t slash = target.rfind('\\');
  link->SetWorkingDirectory(slash == std::string::npos ? "" : target.substr(0, slash + 1));

  std::string folder = GetShellFolder(kind);
  if (folder.empty()) {
    NoteFailure(ShellFolderPlace(kind), platform::ERROR_PATH_NOT_FOUND);
    return;
  }
  if (kind == sfPrograms) folder += sub_path;
  const std::string path = folder + "\\" + LinkFileName(caption) + ".lnk";
  if (!link->Save(path)) NoteFailure(path, Sys().files->GetLastError());
}

bool CreateShellSubFolder(int kind, const std::string& sub_path) {
  const std::string folder = GetShellFolder(kind);
  if (folder.empty()) {
    NoteFailure(ShellFolderPlace(kind), platform::ERROR_PATH_NOT_FOUND);
    return false;
  }
  platform::FileSystem& files = *Sys().files;
  const std::string path = folder + sub_path;
  if (files.CreateDirectory(path)) return true;
  const uint32_t error = files.GetLastError();
  const uint32_t attributes = files.GetFileAttributes(path);
  if (attributes != platform::INVALID_FILE_ATTRIBUTES && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return true;
  }
  // A file of that name is in the way: no folder can be made there.
  NoteFailure(path, error == platform::ERROR_ALREADY_EXISTS ? platform::ERROR_ACCESS_DENIED : error);
  return false;
}

}  // namespace qr5::install
