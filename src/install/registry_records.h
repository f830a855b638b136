// The setup's registry records: the per-user record of the last
// installation, the uninstall entry and the Program Files lookup.
#pragma once

#include <string>

namespace qr5::install {

// HKEY_CURRENT_USER\Quorlin5 "Language"; "" when not recorded.
std::string ReadRegLanguage();
// HKEY_CURRENT_USER\Quorlin5 "Installation Path"; "" when not recorded.
std::string ReadRegInstallPath();
void WriteRegLanguage(const std::string& language_name);
void WriteRegInstallPath(const std::string& install_dir);
// The six values of the "Quorlin 5" uninstall entry; skipped silently when
// the machine-wide Uninstall key cannot be opened.
void WriteUninstallEntry(const std::string& uninstall_command, const std::string& icon_path);
// "ProgramFilesDir" as the system records it; "" when missing.
std::string GetProgramFilesDir();

}  // namespace qr5::install
