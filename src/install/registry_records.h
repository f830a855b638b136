// The setup's registry records: the per-user record of the last
// installation, the uninstall entry and the Program Files lookup.
#pragma once

#include <cstdint>
#include <string>

namespace qr5::install {

// The per-user record, directly under HKEY_CURRENT_USER (not "Software").
inline constexpr char kUserKeyPath[] = "Quorlin5";
// The uninstall entry, under HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallListPath[] = "SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kUninstallEntryName[] = "Quorlin 5";

// The keys as the user is told of them when they cannot be written.
inline const std::string kUserRecordKey = std::string("HKEY_CURRENT_USER\\") + kUserKeyPath;
inline const std::string kUninstallEntryKey =
    std::string("HKEY_LOCAL_MACHINE\\") + kUninstallListPath + "\\" + kUninstallEntryName;

// HKEY_CURRENT_USER\Quorlin5 "Language"; "" when not recorded or not
// readable as text.
std::string ReadRegLanguage();
// HKEY_CURRENT_USER\Quorlin5 "Installation Path"; "" when not recorded or
// not readable as text.
std::string ReadRegInstallPath();
void WriteRegLanguage(const std::string& language_name);
void WriteRegInstallPath(const std::string& install_dir);
// The version of Quorlin 5 that the build makes ("5.0.0").
const char* ProductVersion();
// What the Apps list and Add/Remove Programs show beyond the six values.
struct UninstallEntryExtras {
  std::string install_location;  // the install folder
  uint32_t estimated_kb = 0;     // the payload's sizes, in KB rounded up
};
// The six values of the "Quorlin 5" uninstall entry, then DisplayVersion,
// EstimatedSize, InstallLocation, NoModify = 1, NoRepair = 1 and
// QuietUninstallString (the command with /VERYSILENT); skipped
// silently when the machine-wide Uninstall key cannot be opened.
void WriteUninstallEntry(const std::string& uninstall_command, const std::string& icon_path,
                         const UninstallEntryExtras& extras);
// The uninstaller's command line in install_dir: quoted when the folder
// holds a blank, or Windows would try "D:\My.exe" first for
// "D:\My Apps\QR5\QR5_UNINSTALLER.EXE".
std::string UninstallCommand(const std::string& install_dir);
// "ProgramFilesDir" as the system records it; "" when missing.
std::string GetProgramFilesDir();

}  // namespace qr5::install
