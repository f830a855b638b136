#include "host_machine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/sim/sim_codepage.h"

namespace qr5::tools {

namespace pf = qr5::platform;

std::string HostPath(const std::string& path) {
  std::string host = path;
  for (char& c : host) {
    if (c == '\\') c = '/';
  }
  return host;
}

namespace {

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

uint32_t ErrnoToWindows(int e) {
  switch (e) {
    case ENOENT: return pf::ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return pf::ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: return pf::ERROR_ACCESS_DENIED;
    case EEXIST: return pf::ERROR_ALREADY_EXISTS;
    case ENOSPC: return pf::ERROR_DISK_FULL;
    case ENOTEMPTY: return pf::ERROR_DIR_NOT_EMPTY;
    default: return pf::ERROR_INVALID_PARAMETER;
  }
}

class HostFile : public pf::File {
 public:
  explicit HostFile(int fd) : fd_(fd) {}
  ~HostFile() override { ::close(fd_); }
  bool Read(void* buffer, uint32_t size, uint32_t* got) override {
    *got = 0;
    auto* p = static_cast<uint8_t*>(buffer);
    while (*got < size) {
      ssize_t n = ::read(fd_, p + *got, size - *got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      *got += static_cast<uint32_t>(n);
    }
    return true;
  }
  bool Write(const void* buffer, uint32_t size) override {
    const auto* p = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < size) {
      ssize_t n = ::write(fd_, p + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<uint32_t>(n);
    }
    return true;
  }
  bool Seek(int64_t position) override { return ::lseek(fd_, position, SEEK_SET) >= 0; }
  int64_t Position() override { return ::lseek(fd_, 0, SEEK_CUR); }
  int64_t Size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  }
  bool GetTime(pf::FileTime* last_write) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return false;
    *last_write = kUnixEpochAsFileTime + static_cast<uint64_t>(st.st_mtim.tv_sec) * 10000000ull +
                  static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
    return true;
  }
  bool SetTime(pf::FileTime last_write) override {
    if (last_write < kUnixEpochAsFileTime) return false;
    uint64_t ticks = last_write - kUnixEpochAsFileTime;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(ticks / 10000000ull);
    times[1].tv_nsec = static_cast<long>(ticks % 10000000ull) * 100;
    return ::futimens(fd_, times) == 0;
  }
  bool Flush() override { return true; }

 private:
  int fd_;
};

// A file that takes every byte and keeps none.
class SinkFile : public pf::File {
 public:
  bool Read(void*, uint32_t, uint32_t* got) override { *got = 0; return true; }
  bool Write(const void*, uint32_t size) override { position_ += size; size_ = std::max(size_, position_); return true; }
  bool Seek(int64_t position) override { position_ = position; return true; }
  int64_t Position() override { return position_; }
  int64_t Size() override { return size_; }
  bool GetTime(pf::FileTime* t) override { *t = 0; return true; }
  bool SetTime(pf::FileTime) override { return true; }
  bool Flush() override { return true; }

 private:
  int64_t position_ = 0, size_ = 0;
};

class HostFileSystem : public pf::FileSystem {
 public:
  explicit HostFileSystem(std::string sink) : sink_(std::move(sink)) {}

  uint32_t GetLastError() const override { return last_error_; }
  std::string SystemErrorText(uint32_t code) const override {
    switch (code) {
      case pf::ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
      case pf::ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
      case pf::ERROR_ACCESS_DENIED: return "Access is denied.";
      case pf::ERROR_DISK_FULL: return "There is not enough space on the disk.";
      default: return "Error " + std::to_string(code) + ".";
    }
  }
  std::string GetModuleFileName() override { return "qr5pack"; }
  std::string GetTempPath() override { return "/tmp/"; }
  std::string GetCurrentDirectory() override { return std::filesystem::current_path().string(); }
  std::unique_ptr<pf::FileSearch> FindFirst(const std::string&, uint32_t) override {
    last_error_ = pf::ERROR_FILE_NOT_FOUND;
    return nullptr;
  }
  bool DeleteFile(const std::string& path) override {
    if (InSink(path)) return true;
    return Check(::unlink(HostPath(path).c_str()) == 0);
  }
  uint32_t GetFileAttributes(const std::string& path) override {
    if (InSink(path)) {
      last_error_ = pf::ERROR_FILE_NOT_FOUND;
      return pf::INVALID_FILE_ATTRIBUTES;
    }
    struct stat st;
    if (!Check(::stat(HostPath(path).c_str(), &st) == 0)) return pf::INVALID_FILE_ATTRIBUTES;
    uint32_t attributes = S_ISDIR(st.st_mode) ? pf::FILE_ATTRIBUTE_DIRECTORY : pf::FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= pf::FILE_ATTRIBUTE_READONLY;
    return attributes;
  }
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
    if (InSink(path)) return true;
    struct stat st;
    std::string host = HostPath(path);
    if (!Check(::stat(host.c_str(), &st) == 0)) return false;
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & pf::FILE_ATTRIBUTE_READONLY) ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
    return Check(::chmod(host.c_str(), mode) == 0);
  }
  bool CreateDirectory(const std::string& path) override {
    if (InSink(path)) return true;
    return Check(::mkdir(HostPath(path).c_str(), 0777) == 0);
  }
  bool RemoveDirectory(const std::string& path) override {
    if (InSink(path)) return true;
    return Check(::rmdir(HostPath(path).c_str()) == 0);
  }
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override {
    std::error_code ec;
    auto options = fail_if_exists ? std::filesystem::copy_options::none
                                  : std::filesystem::copy_options::overwrite_existing;
    bool ok = std::filesystem::copy_file(HostPath(from), HostPath(to), options, ec);
    if (!ok) last_error_ = pf::ERROR_ACCESS_DENIED;
    return ok;
  }
  bool MoveFileReplace(const std::string& from, const std::string& to) override {
    if (InSink(from) && InSink(to)) return true;
    return Check(::rename(HostPath(from).c_str(), HostPath(to).c_str()) == 0);
  }
  // The packing tools never schedule a deletion and have no Windows folder.
  bool DeleteAtReboot(const std::string&) override { return false; }
  std::string GetWindowsDirectory() override { return ""; }
  std::string GetLogicalDriveStrings() override { return std::string("/\0", 2); }
  std::string GetShortPathName(const std::string& path) override { return path; }
  bool GetDiskFreeSpace(const std::string&, int64_t* free_bytes) override {
    *free_bytes = INT64_MAX;
    return true;
  }
  uint32_t SetErrorMode(uint32_t mode) override { return mode; }

  std::unique_ptr<pf::File> OpenFile(const std::string& path, pf::OpenMode mode) override {
    if (InSink(path)) {
      if (mode == pf::OpenMode::kCreateAlways || mode == pf::OpenMode::kCreateNew) return std::make_unique<SinkFile>();
      last_error_ = pf::ERROR_FILE_NOT_FOUND;
      return nullptr;
    }
    std::string host = HostPath(path);
    int flags = O_RDONLY;
    if (mode == pf::OpenMode::kReadWrite) flags = O_RDWR;
    if (mode == pf::OpenMode::kCreateAlways) {
      // Windows refuses to replace a read-only file, also for an
      // administrator.
      struct stat st;
      if (::stat(host.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0)) {
        last_error_ = pf::ERROR_ACCESS_DENIED;
        return nullptr;
      }
      flags = O_WRONLY | O_CREAT | O_TRUNC;
    }
    if (mode == pf::OpenMode::kCreateNew) flags = O_WRONLY | O_CREAT | O_EXCL;
    int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
    if (fd >= 0) {
      struct stat st;
      if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        last_error_ = pf::ERROR_ACCESS_DENIED;
        return nullptr;
      }
    }
    if (!Check(fd >= 0)) return nullptr;
    return std::make_unique<HostFile>(fd);
  }

 private:
  bool InSink(const std::string& path) const {
    return !sink_.empty() && path.compare(0, sink_.size(), sink_) == 0;
  }
  bool Check(bool ok) {
    if (!ok) last_error_ = ErrnoToWindows(errno);
    return ok;
  }

  std::string sink_;
  uint32_t last_error_ = 0;
};

class HostSystemInfo : public pf::SystemInfo {
 public:
  std::string ThreadLanguageName() override { return ""; }
  bool GetVersion(pf::OsVersion*) override { return false; }
  // Code page 437 to the host's UTF-8, through the ANSI code page.
  std::string OemToAnsi(const std::string& oem) override {
    return pf::sim::AnsiToUtf8(pf::sim::OemToAnsi(oem));
  }
  bool IsLeadByte(char) override { return false; }
  std::string UpperCase(const std::string& text) override { return pf::sim::AnsiUpper(text); }
};

}  // namespace

struct HostMachine::Impl {
  explicit Impl(std::string sink) : files(std::move(sink)) {}
  HostFileSystem files;
  HostSystemInfo system;
};

HostMachine::HostMachine(std::string sink_prefix)
    : impl_(std::make_unique<Impl>(std::move(sink_prefix))) {
  machine_.files = &impl_->files;
  machine_.system = &impl_->system;
}

HostMachine::~HostMachine() = default;

}  // namespace qr5::tools
