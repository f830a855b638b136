#include "install/shell_link.h"

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
  if (folder.empty()) return;
  if (kind == sfPrograms) folder += sub_path;
  // Neither the target nor the folder is checked: a link that cannot be
  // saved is simply missing.
  link->Save(folder + "\\" + LinkFileName(caption) + ".lnk");
}

void CreateShellSubFolder(int kind, const std::string& sub_path) {
  const std::string folder = GetShellFolder(kind);
  if (folder.empty()) return;
  Sys().files->CreateDirectory(folder + sub_path);
}

}  // namespace qr5::install
