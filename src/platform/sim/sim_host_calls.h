// The host calls the simulated file system is made of, with their errors
// in Windows' codes: shared by its files, searches and open handles.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/platform.h"

namespace qr5::platform::sim {

// 100 ns intervals between 1601-01-01 and 1970-01-01.
inline constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;

// The Windows error code for a host errno.
uint32_t ErrnoToWindows(int error);

bool HostStat(const std::string& path, struct stat* st);

// What tells two host paths of the same file apart from two files.
inline std::pair<dev_t, ino_t> HostIdentity(const struct stat& st) { return {st.st_dev, st.st_ino}; }

inline bool OpensForWriting(OpenMode mode) {
  return mode == OpenMode::kReadWrite || mode == OpenMode::kCreateAlways || mode == OpenMode::kCreateNew;
}

// write() until all of data is written; false on an error.
bool WriteAll(int fd, const void* data, size_t size);

}  // namespace qr5::platform::sim
