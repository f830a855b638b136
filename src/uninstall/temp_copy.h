// A running program cannot delete its own file on Windows, so the
// uninstaller hands its work to a copy of itself in the temporary folder,
// telling it on its command line which installation to remove; the copy is
// deleted at the next start of Windows.
#pragma once

#include <string>

namespace qr5::uninstall {

// The path of the copy: the temporary folder + "QR5_UNINSTALLER.EXE"; ""
// when the system names no temporary folder.
std::string TempCopyPath();

// Whether the running program is that copy (or was started from the
// temporary folder anyway).
bool RunsFromTempFolder();

// The folder the running program was started from: for the copy, the one
// its command line names; else the running program's own folder.
std::string StartedFrom();

// Copies the running program to TempCopyPath, arranges for the copy to be
// deleted at the next start of Windows (MoveFileExA with
// MOVEFILE_DELAY_UNTIL_REBOOT on the NT family, a NUL= line added to
// WININIT.INI's [rename] section on the 9x family), starts it with dir and
// switches on its command line and waits for it. True when the copy ran;
// *exit_code is then its exit code, which this process only has to return.
bool HandOverToTempCopy(const std::string& dir, const std::string& switches, int* exit_code);

// The switches of this process's command line (not the folder), as the copy
// is to get them.
std::string OwnSwitches();

}  // namespace qr5::uninstall
