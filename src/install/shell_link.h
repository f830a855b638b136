// Shortcuts (.lnk files) in the shell folders, and the folders below them
// that hold the program group.
#pragma once

#include <string>

#include "install/shell_folders.h"

namespace qr5::install {

// Makes the shortcut <shell folder>[sub_path]\<caption>.lnk to target, with
// the target's folder as working folder. sub_path counts only for
// sfPrograms. A link that cannot be saved, or whose shell folder is
// unknown, is noted in the outcome record. Raises when the shell link
// object cannot be created.
void CreateShellLink(const std::string& target, const std::string& caption, int kind,
                     const std::string& sub_path);

// Creates one folder level <shell folder> + sub_path (sub_path begins with
// a backslash); a folder that exists already is fine. False, with the
// folder noted in the outcome record, when it cannot be made.
bool CreateShellSubFolder(int kind, const std::string& sub_path);

// The file name a caption gives its shortcut: characters that Windows
// forbids in file names become "-".
std::string LinkFileName(const std::string& caption);

}  // namespace qr5::install
