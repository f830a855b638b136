// The suite itself, extracted from the setup's payload into the install
// folder, with the registry records around it.
#pragma once

#include <string>
#include <vector>

namespace qr5::archive {
class TZipArchive;
}

namespace qr5::install {

// Records the folder and the language for the next run, extracts the suite
// from setup_file into install_dir (the folder as the user chose it) and
// writes the uninstall entry, also after a failed extraction. What does not
// go in is noted in the session's outcome record.
void InstallSuite(archive::TZipArchive& zip, const std::string& setup_file,
                  const std::string& install_dir, const std::string& language_name);

// The install folder and the folders below it that the archive's entries
// go to, each ending in "\".
std::vector<std::string> SuiteFolders(const archive::TZipArchive& zip, const std::string& install_dir);

}  // namespace qr5::install
