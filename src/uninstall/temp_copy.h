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
// WININIT.INI's [rename] section on the 9x family) and starts it with dir
// on its command line. True when the copy runs; this process then only
// has to end.
bool HandOverToTempCopy(const std::string& dir);

}  // namespace qr5::uninstall
