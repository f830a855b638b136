// The database engine: its files from the setup's payload and its registry
// configuration, in the folder other products look for it.
#pragma once

#include <string>

namespace qr5::archive {
class TZipArchive;
}

namespace qr5::install {

// Writes the engine's settings, then extracts its files from setup_file
// into the engine folder below Program Files. What does not go in is noted
// in the session's outcome record.
void InstallDatabaseEngine(archive::TZipArchive& zip, const std::string& setup_file);

}  // namespace qr5::install
