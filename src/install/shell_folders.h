// The Windows shell folders (Desktop, Start menu, Startup, ...) as the shell
// records them under "Shell Folders", in the scope the Windows version picks.
#pragma once

#include <string>

namespace qr5::install {

enum ShellFolderKind {
  sfDesktop = 0,
  sfQuickLaunch,
  sfSendTo,
  sfStartMenu,
  sfPersonal,
  sfStartUp,
  sfPrograms,
  sfFavorites
};

// The folder path exactly as the registry holds it, or "" when the key, the
// value or the kind is unknown. Looked up afresh on every call.
// Where the folder of kind is recorded ("HKEY_LOCAL_MACHINE\...\Shell
// Folders\Common Programs"), to name it when it is not.
std::string ShellFolderPlace(int kind);
std::string GetShellFolder(int kind);

}  // namespace qr5::install
