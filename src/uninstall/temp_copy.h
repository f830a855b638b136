// A running program cannot delete its own file on Windows, so the
// uninstaller hands its work to a copy of itself in the temporary folder;
// the copy is deleted at the next start of Windows.
#pragma once

#include <string>

namespace qr5::uninstall {

// The path of the copy: the temporary folder + "QR5_UNINSTALLER.EXE"; ""
// when the system names no temporary folder.
std::string TempCopyPath();

// Whether the running program is that copy (or was started from the
// temporary folder anyway).
bool RunsFromTempFolder();

// Copies the running program to TempCopyPath, arranges for the copy to be
// deleted at the next start of Windows (MoveFileExA with
// MOVEFILE_DELAY_UNTIL_REBOOT on the NT family, a NUL= line in WININIT.INI's
// [rename] section on the 9x family) and starts it. True when the copy
// runs; this process then only has to end.
bool HandOverToTempCopy();

}  // namespace qr5::uninstall
