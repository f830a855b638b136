#include "platform/sim/sim_host_calls.h"

#include <unistd.h>

#include <cerrno>

#include "platform/sim/sim_paths.h"

namespace qr5::platform::sim {

namespace {

constexpr uint32_t kErrorGenFailure = 31;

}  // namespace

uint32_t ErrnoToWindows(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC: case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    case EBUSY: return kErrorSharingViolation;
    default: return kErrorGenFailure;
  }
}

bool HostStat(const std::string& path, struct stat* st) { return ::stat(path.c_str(), st) == 0; }

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t put = ::write(fd, bytes + done, size - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

}  // namespace qr5::platform::sim
