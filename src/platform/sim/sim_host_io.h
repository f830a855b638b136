// Whole-file reads and crash-safe whole-file writes on the host.
#pragma once

#include <string>

namespace qr5::platform::sim {

// False when the file cannot be read (errno tells why).
bool ReadHostFile(const std::string& path, std::string* data);

// Writes a new file beside `path` and renames it over `path`, so a crash
// leaves either the old or the new content, never a mixture. `durable`
// also waits until the data is on the disk.
bool WriteHostFileAtomic(const std::string& path, const std::string& data, bool durable = true);

// mkdir -p.
bool MakeHostDirs(const std::string& path);

}  // namespace qr5::platform::sim
