// Open files of the simulated machine: CreateFileA's handles over host file
// descriptors, with Windows' sharing, positions and times.
#include "platform/sim/sim_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sim/sim_host_calls.h"

namespace qr5::platform::sim {

namespace {

constexpr uint32_t kErrorNegativeSeek = 131;

class SimFile : public File {
 public:
  SimFile(SimContext& ctx, int fd, OpenMode mode, char drive)
      : ctx_(ctx), fd_(fd), mode_(mode), drive_(drive) {
    struct stat st;
    if (::fstat(fd_, &st) == 0) {
      identity_ = HostIdentity(st);
      counted_ = true;
      Count(+1);
    }
  }
  ~SimFile() override {
    if (counted_) Count(-1);
    ::close(fd_);
  }

  bool Read(void* buffer, uint32_t size, uint32_t* got) override {
    *got = 0;
    if (mode_ == OpenMode::kCreateAlways || mode_ == OpenMode::kCreateNew) return Fail(ERROR_ACCESS_DENIED);
    auto* bytes = static_cast<char*>(buffer);
    while (*got < size) {
      const ssize_t n = ::read(fd_, bytes + *got, size - *got);
      if (n < 0) {
        if (errno == EINTR) continue;
        return Fail(ErrnoToWindows(errno));
      }
      if (n == 0) break;
      *got += static_cast<uint32_t>(n);
    }
    return true;
  }

  bool Write(const void* buffer, uint32_t size) override {
    if (!OpensForWriting(mode_)) return Fail(ERROR_ACCESS_DENIED);
    const int64_t position = Position();
    const int64_t length = Size();
    const int64_t growth = std::max<int64_t>(0, position + size - length);
    const auto limit = ctx_.config.free_space.find(drive_);
    if (growth > 0 && limit != ctx_.config.free_space.end() &&
        growth > limit->second - ctx_.bytes_added[drive_]) {
      return Fail(ERROR_DISK_FULL);
    }
    if (!WriteAll(fd_, buffer, size)) return Fail(ErrnoToWindows(errno));
    ctx_.bytes_added[drive_] += growth;
    return true;
  }

  bool Seek(int64_t position) override {
    if (position < 0) return Fail(kErrorNegativeSeek);
    if (::lseek(fd_, position, SEEK_SET) < 0) return Fail(ErrnoToWindows(errno));
    return true;
  }
  int64_t Position() override { return ::lseek(fd_, 0, SEEK_CUR); }
  int64_t Size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  }
  bool GetTime(FileTime* last_write) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return Fail(ErrnoToWindows(errno));
    *last_write = HostTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return true;
  }
  bool SetTime(FileTime last_write) override {
    if (!OpensForWriting(mode_)) return Fail(ERROR_ACCESS_DENIED);
    const int64_t since_1970 = static_cast<int64_t>(last_write) - kUnixEpochAsFileTime;
    int64_t seconds = since_1970 / 10000000;
    int64_t rest = since_1970 % 10000000;
    if (rest < 0) {
      rest += 10000000;
      --seconds;
    }
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = static_cast<long>(rest * 100);
    if (::futimens(fd_, times) != 0) return Fail(ErrnoToWindows(errno));
    return true;
  }
  bool Flush() override {
    if (!OpensForWriting(mode_)) return true;
    if (::fdatasync(fd_) != 0) return Fail(ErrnoToWindows(errno));
    return true;
  }

 private:
  bool Fail(uint32_t code) {
    ctx_.last_error = code;
    return false;
  }
  void Count(int step) {
    SimContext::OpenHandles& open = ctx_.open_files[identity_];
    open.handles += step;
    if (OpensForWriting(mode_)) open.writers += step;
    if (mode_ == OpenMode::kReadDenyWrite) open.deny_writers += step;
    if (open.handles <= 0) ctx_.open_files.erase(identity_);
  }

  SimContext& ctx_;
  int fd_;
  OpenMode mode_;
  char drive_;
  std::pair<dev_t, ino_t> identity_{};
  bool counted_ = false;
};

}  // namespace

std::unique_ptr<File> SimFileSystem::OpenFile(const std::string& path, OpenMode mode) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return nullptr;
  if (wp.IsRoot() || loc.is_dir) {
    Fail(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (loc.exists && SharingRefuses(loc.host, mode)) {
    Fail(kErrorSharingViolation);
    return nullptr;
  }
  int flags = O_CLOEXEC;
  switch (mode) {
    case OpenMode::kRead:
    case OpenMode::kReadDenyWrite:
      if (!loc.exists) {
        Fail(ERROR_FILE_NOT_FOUND);
        return nullptr;
      }
      flags |= O_RDONLY;
      break;
    case OpenMode::kReadWrite:
      if (!loc.exists) {
        Fail(ERROR_FILE_NOT_FOUND);
        return nullptr;
      }
      if (ctx_.attributes.IsReadOnly(loc.host, false)) {
        Fail(ERROR_ACCESS_DENIED);
        return nullptr;
      }
      flags |= O_RDWR;
      break;
    case OpenMode::kCreateAlways: {
      const uint32_t replace = CheckReplaceable(loc);
      if (replace != ERROR_SUCCESS) {
        Fail(replace);
        return nullptr;
      }
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      break;
    }
    case OpenMode::kCreateNew:
      if (loc.exists) {
        Fail(ERROR_FILE_EXISTS);
        return nullptr;
      }
      // Exclusive on the host too: another process may take the name
      // between the look-up and the open.
      flags |= O_WRONLY | O_CREAT | O_EXCL;
      break;
  }
  const int fd = ::open(loc.host.c_str(), flags, 0644);
  if (fd < 0) {
    Fail(errno == EEXIST && mode == OpenMode::kCreateNew ? ERROR_FILE_EXISTS : ErrnoToWindows(errno));
    return nullptr;
  }
  if (mode == OpenMode::kCreateAlways || mode == OpenMode::kCreateNew) ctx_.attributes.Reset(loc.host);
  return std::make_unique<SimFile>(ctx_, fd, mode, wp.drive);
}

}  // namespace qr5::platform::sim
