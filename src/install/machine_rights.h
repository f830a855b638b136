// Whether this user may install for the whole machine. On the NT family a
// limited user may write neither HKEY_LOCAL_MACHINE\SOFTWARE nor the
// all-users Programs folder, and the uninstall entry, the engine's settings
// and the group would all fail; the 9x family has no such rights.
#pragma once

#include <string>

namespace qr5::install {

// Tried, not guessed: the key is opened for writing and a file made and
// deleted in the Programs folder. True on the 9x family.
bool MayInstallForTheMachine();

// "Quorlin 5 must be installed by an administrator. ..." from the chosen
// language file (English when it lacks the text).
std::string NeedsAdministratorMessage(const std::string& language_file);

}  // namespace qr5::install
