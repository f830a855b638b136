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
// [rename] section on the 9x family), starts it with switches and waits for
// it. True when the copy ran; *exit_code is then its exit code, which this
// process only has to return.
bool HandOverToTempCopy(const std::string& switches, int* exit_code);

// The switches of this process's command line, as the copy is to get them.
std::string OwnSwitches();

}  // namespace qr5::uninstall
