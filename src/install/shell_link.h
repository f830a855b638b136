// Shortcuts (.lnk files) in the shell folders, and the folders below them
// that hold the program group.
#pragma once

#include <string>

#include "install/shell_folders.h"

namespace qr5::install {

// Makes the shortcut <shell folder>[sub_path]\<caption>.lnk to target, with
// the target's folder as working folder. sub_path counts only for
// sfPrograms. Nothing is made when the shell folder is unknown; a link that
// cannot be saved is simply missing. Raises when the shell link object
// cannot be created.
void CreateShellLink(const std::string& target, const std::string& caption, int kind,
                     const std::string& sub_path);

// Creates one folder level <shell folder> + sub_path (sub_path begins with
// a backslash). The result is not examined.
void CreateShellSubFolder(int kind, const std::string& sub_path);

// The file name a caption gives its shortcut: characters that Windows
// forbids in file names become "-".
std::string LinkFileName(const std::string& caption);

}  // namespace qr5::install
