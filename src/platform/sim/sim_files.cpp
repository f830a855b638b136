// The simulated machine's files and folders: attributes, deletion, copies,
// moves, folders and drives over the host folders of its drives.
#include "platform/sim/sim_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/sim/sim_codepage.h"
#include "platform/sim/sim_host_calls.h"
#include "platform/sim/sim_host_io.h"
#include "platform/sim/sim_short_names.h"
#include "platform/sim/sim_wildcard.h"

namespace qr5::platform::sim {

namespace {

const char* ErrorText(uint32_t code) {
  switch (code) {
    case 0: return "The operation completed successfully.";
    case 2: return "The system cannot find the file specified.";
    case 3: return "The system cannot find the path specified.";
    case 5: return "Access is denied.";
    case 6: return "The handle is invalid.";
    case 17: return "The system cannot move the file to a different disk drive.";
    case 18: return "There are no more files.";
    case 21: return "The device is not ready.";
    case 31: return "A device attached to the system is not functioning.";
    case 32: return "The process cannot access the file because it is being used by another process.";
    case 39: return "The disk is full.";
    case 80: return "The file exists.";
    case 87: return "The parameter is incorrect.";
    case 112: return "There is not enough space on the disk.";
    case 123: return "The filename, directory name, or volume label syntax is incorrect.";
    case 131: return "An attempt was made to move the file pointer before the beginning of the file.";
    case 145: return "The directory is not empty.";
    case 161: return "The specified path is invalid.";
    case 183: return "Cannot create a file when that file already exists.";
    case 206: return "The filename or extension is too long.";
    case 234: return "More data is available.";
    case 267: return "The directory name is invalid.";
    case 1009: return "The configuration registry database is corrupt.";
    case 1018: return "Illegal operation attempted on a registry key that has been marked for deletion.";
    default: return nullptr;
  }
}

}  // namespace

FileTime HostTimeToFileTime(int64_t seconds, int64_t nanoseconds) {
  return static_cast<FileTime>(seconds * 10000000 + nanoseconds / 100 + kUnixEpochAsFileTime);
}

std::string SimFileSystem::SystemErrorText(uint32_t code) const {
  const char* text = ErrorText(code);
  return text == nullptr ? std::string() : std::string(text) + "\r\n";
}

std::string SimFileSystem::GetTempPath() {
  std::string path = ctx_.config.temp_dir;
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  return path;
}

bool SimFileSystem::Locate(const std::string& path, WindowsPath* windows_path,
                           HostLocation* location) {
  const uint32_t parsed = ParseWindowsPath(path, ctx_.current_dir, false, windows_path);
  if (parsed != ERROR_SUCCESS) return Fail(parsed);
  *location = ctx_.resolver.Resolve(*windows_path);
  if (location->error != 0) return Fail(location->error);
  return true;
}

bool SimFileSystem::IsRunningProgram(const struct stat& st) {
  if (ctx_.module_file_name.empty()) return false;
  // Once found, only a file with its identity can be it: others need no lookup.
  if (ctx_.running_program.first == ctx_.module_file_name && ctx_.running_program.second != HostIdentity(st)) {
    return false;
  }
  WindowsPath wp;
  if (ParseWindowsPath(ctx_.module_file_name, ctx_.current_dir, false, &wp) != ERROR_SUCCESS) return false;
  const HostLocation running = ctx_.resolver.Resolve(wp);
  struct stat program;
  const bool there = running.error == 0 && running.exists && HostStat(running.host, &program);
  // Found once: the file cannot go or be replaced while it runs.
  if (ctx_.running_program.first != ctx_.module_file_name) {
    if (!there) return false;
    ctx_.running_program = {ctx_.module_file_name, HostIdentity(program)};
  }
  // Removed from outside the machine (by the host), it protects nothing:
  // its host identity may already belong to a new file.
  if (!there || HostIdentity(program) != ctx_.running_program.second) return false;
  return ctx_.running_program.second == HostIdentity(st);
}

bool SimFileSystem::IsOpen(const std::string& host) {
  struct stat st;
  return HostStat(host, &st) && (ctx_.open_files.count(HostIdentity(st)) > 0 || IsRunningProgram(st));
}

bool SimFileSystem::SharingRefuses(const std::string& host, OpenMode mode) {
  struct stat st;
  if (!HostStat(host, &st)) return false;
  // The running program's image is mapped: no one may write it.
  if (OpensForWriting(mode) && IsRunningProgram(st)) return true;
  const auto it = ctx_.open_files.find(HostIdentity(st));
  if (it == ctx_.open_files.end()) return false;
  if (OpensForWriting(mode) && it->second.deny_writers > 0) return true;
  return mode == OpenMode::kReadDenyWrite && it->second.writers > 0;
}

uint32_t SimFileSystem::CheckReplaceable(const HostLocation& location) {
  if (!location.exists) return ERROR_SUCCESS;
  if (location.is_dir || location.leaf.empty()) return ERROR_ACCESS_DENIED;
  const uint32_t attributes = ctx_.attributes.Get(location.host, false);
  // CREATE_ALWAYS with normal attributes refuses read-only files, and also
  // hidden or system files (the caller would have to repeat their bits).
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
    return ERROR_ACCESS_DENIED;
  }
  return ERROR_SUCCESS;
}

bool SimFileSystem::WriteWholeFile(const std::string& path, const std::string& data) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return false;
  if (wp.IsRoot()) return Fail(ERROR_ACCESS_DENIED);
  const uint32_t replace = CheckReplaceable(loc);
  if (replace != ERROR_SUCCESS) return Fail(replace);
  if (!WriteHostFileAtomic(loc.host, data)) return Fail(ErrnoToWindows(errno));
  ctx_.attributes.Reset(loc.host);
  return true;
}


bool SimFileSystem::DeleteAtReboot(const std::string& path) {
  constexpr uint32_t kErrorCallNotImplemented = 120;  // what the 9x family answers
  if (ctx_.config.version.platform_id != 2) return Fail(kErrorCallNotImplemented);
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return false;
  if (!loc.exists) return Fail(ERROR_FILE_NOT_FOUND);
  std::string pending;
  ReadHostFile(ctx_.root + "/reboot-deletes.txt", &pending);
  pending += path + "\n";
  if (!WriteHostFileAtomic(ctx_.root + "/reboot-deletes.txt", pending)) return Fail(ERROR_ACCESS_DENIED);
  return true;
}

bool SimFileSystem::DeleteFile(const std::string& path) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return false;
  if (!loc.exists) return Fail(ERROR_FILE_NOT_FOUND);
  if (loc.is_dir) return Fail(ERROR_ACCESS_DENIED);
  if (ctx_.attributes.IsReadOnly(loc.host, false)) return Fail(ERROR_ACCESS_DENIED);
  if (IsOpen(loc.host)) return Fail(kErrorSharingViolation);
  if (::unlink(loc.host.c_str()) != 0) return Fail(ErrnoToWindows(errno));
  ctx_.attributes.Forget(loc.host);
  return true;
}

uint32_t SimFileSystem::GetFileAttributes(const std::string& path) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return INVALID_FILE_ATTRIBUTES;
  if (!loc.exists) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  return ctx_.attributes.Get(loc.host, loc.is_dir);
}

bool SimFileSystem::SetFileAttributes(const std::string& path, uint32_t attributes) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return false;
  if (!loc.exists) return Fail(ERROR_FILE_NOT_FOUND);
  if (!ctx_.attributes.Set(loc.host, attributes)) return Fail(ErrnoToWindows(errno));
  return true;
}

bool SimFileSystem::CreateDirectory(const std::string& path) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return false;
  if (wp.IsRoot()) return Fail(ERROR_ACCESS_DENIED);
  if (loc.exists) return Fail(ERROR_ALREADY_EXISTS);
  if (::mkdir(loc.host.c_str(), 0755) != 0) return Fail(ErrnoToWindows(errno));
  ctx_.attributes.Reset(loc.host);
  return true;
}

bool SimFileSystem::RemoveDirectory(const std::string& path) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return false;
  if (!loc.exists) return Fail(ERROR_FILE_NOT_FOUND);
  if (wp.IsRoot()) return Fail(ERROR_ACCESS_DENIED);
  if (!loc.is_dir) return Fail(kErrorDirectory);
  if (ctx_.attributes.IsReadOnly(loc.host, true)) return Fail(ERROR_ACCESS_DENIED);
  if (::rmdir(loc.host.c_str()) != 0) {
    return Fail(errno == EEXIST || errno == ENOTEMPTY ? ERROR_DIR_NOT_EMPTY : ErrnoToWindows(errno));
  }
  ctx_.attributes.Forget(loc.host);
  return true;
}

int64_t SimFileSystem::FreeSpaceLeft(char drive) {
  const auto limit = ctx_.config.free_space.find(drive);
  if (limit == ctx_.config.free_space.end()) return INT64_MAX;
  return std::max<int64_t>(0, limit->second - ctx_.bytes_added[drive]);
}

bool SimFileSystem::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  WindowsPath from_path;
  HostLocation source;
  if (!Locate(from, &from_path, &source)) return false;
  if (!source.exists) return Fail(ERROR_FILE_NOT_FOUND);
  if (source.is_dir) return Fail(ERROR_ACCESS_DENIED);
  WindowsPath to_path;
  HostLocation target;
  if (!Locate(to, &to_path, &target)) return false;
  if (target.exists) {
    if (target.host == source.host) return Fail(kErrorSharingViolation);
    if (fail_if_exists) return Fail(ERROR_FILE_EXISTS);
    if (SharingRefuses(target.host, OpenMode::kCreateAlways)) return Fail(kErrorSharingViolation);
    if (target.is_dir || ctx_.attributes.IsReadOnly(target.host, false)) {
      return Fail(ERROR_ACCESS_DENIED);
    }
  }
  const uint32_t attributes = ctx_.attributes.Get(source.host, false);
  const int in = ::open(source.host.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Fail(ErrnoToWindows(errno));
  struct stat st;
  ::fstat(in, &st);
  const int64_t old_size = target.exists ? [&] {
    struct stat t;
    return HostStat(target.host, &t) ? static_cast<int64_t>(t.st_size) : 0;
  }() : 0;
  const int64_t growth = std::max<int64_t>(0, st.st_size - old_size);
  if (growth > FreeSpaceLeft(to_path.drive)) {
    ::close(in);
    return Fail(ERROR_DISK_FULL);
  }
  const int out = ::open(target.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    ::close(in);
    return Fail(ErrnoToWindows(errno));
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    if (!WriteAll(out, buffer, static_cast<size_t>(got))) {
      ok = false;
      break;
    }
  }
  const int saved_errno = errno;
  struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  ::futimens(out, times);
  ::close(in);
  ::close(out);
  if (!ok) {
    ::unlink(target.host.c_str());
    ctx_.attributes.Forget(target.host);
    return Fail(ErrnoToWindows(saved_errno));
  }
  ctx_.bytes_added[to_path.drive] += growth;
  // The copy carries the source's attributes and is marked for backup.
  const uint32_t kept = attributes == FILE_ATTRIBUTE_NORMAL ? 0 : attributes;
  ctx_.attributes.Set(target.host, kept | FILE_ATTRIBUTE_ARCHIVE);
  return true;
}

bool SimFileSystem::MoveFileReplace(const std::string& from, const std::string& to) {
  WindowsPath from_path;
  HostLocation source;
  if (!Locate(from, &from_path, &source)) return false;
  if (!source.exists) return Fail(ERROR_FILE_NOT_FOUND);
  if (from_path.IsRoot()) return Fail(ERROR_ACCESS_DENIED);
  WindowsPath to_path;
  HostLocation target;
  if (!Locate(to, &to_path, &target)) return false;
  if (to_path.IsRoot()) return Fail(ERROR_ACCESS_DENIED);
  if (from_path.drive != to_path.drive) return Fail(kErrorNotSameDevice);
  std::string destination = target.host;
  if (target.exists) {
    if (target.host == source.host) {
      // Only the spelling changes.
      destination = target.parent_host + "/" + AnsiToUtf8(to_path.Leaf());
    } else {
      if (source.is_dir || target.is_dir) return Fail(ERROR_ACCESS_DENIED);
      if (ctx_.attributes.IsReadOnly(target.host, false)) return Fail(ERROR_ACCESS_DENIED);
      if (IsOpen(target.host)) return Fail(kErrorSharingViolation);
    }
  }
  if (IsOpen(source.host)) return Fail(kErrorSharingViolation);
  if (source.is_dir && (destination + "/").compare(0, source.host.size() + 1, source.host + "/") == 0) {
    return Fail(ERROR_ACCESS_DENIED);  // into itself
  }
  if (::rename(source.host.c_str(), destination.c_str()) != 0) return Fail(ErrnoToWindows(errno));
  ctx_.attributes.Move(source.host, destination);
  return true;
}

std::string SimFileSystem::GetLogicalDriveStrings() {
  std::string result;
  for (char letter : ctx_.resolver.Drives()) {
    result.push_back(letter);
    result += ":\\";
    result.push_back('\0');
  }
  return result;
}

std::string SimFileSystem::GetShortPathName(const std::string& path) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(path, &wp, &loc)) return "";
  if (!loc.exists) {
    Fail(ERROR_FILE_NOT_FOUND);
    return "";
  }
  std::string result;
  if (path.size() >= 2 && path[1] == ':') {
    result = path.substr(0, 2);
  } else {
    result.push_back(wp.drive);
    result.push_back(':');
  }
  result.push_back('\\');
  for (size_t i = 0; i < wp.parts.size(); ++i) {
    if (i > 0) result.push_back('\\');
    const std::string& name = wp.parts[i];
    // Names that already fit 8.3 stay as written; aliases ignore case.
    result += IsLegalShortName(name) ? name : MakeShortName(name);
  }
  const char last = path.empty() ? '\0' : path.back();
  if (!wp.parts.empty() && (last == '\\' || last == '/')) result.push_back('\\');
  return result;
}

bool SimFileSystem::GetDiskFreeSpace(const std::string& root_path, int64_t* free_bytes) {
  WindowsPath wp;
  HostLocation loc;
  if (!Locate(root_path, &wp, &loc)) return false;
  if (!loc.exists || !loc.is_dir) return Fail(ERROR_PATH_NOT_FOUND);
  const auto limit = ctx_.config.free_space.find(wp.drive);
  if (limit != ctx_.config.free_space.end()) {
    *free_bytes = FreeSpaceLeft(wp.drive);
    return true;
  }
  struct statvfs vfs;
  if (::statvfs(loc.host.c_str(), &vfs) != 0) return Fail(ErrnoToWindows(errno));
  *free_bytes = static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
  return true;
}

uint32_t SimFileSystem::SetErrorMode(uint32_t mode) {
  const uint32_t previous = ctx_.error_mode;
  ctx_.error_mode = mode;
  return previous;
}

}  // namespace qr5::platform::sim
