// Files and folders of the simulated machine: the kernel32 file functions
// over the host folders of its drives, with Windows' names, attributes,
// wildcards and error codes.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_context.h"

namespace qr5::platform::sim {

class SimFileSystem : public FileSystem {
 public:
  explicit SimFileSystem(SimContext& context) : ctx_(context) {}

  uint32_t GetLastError() const override { return ctx_.last_error; }
  std::string SystemErrorText(uint32_t code) const override;
  std::string GetModuleFileName() override { return ctx_.module_file_name; }
  std::string GetTempPath() override;
  std::string GetCurrentDirectory() override { return ctx_.current_dir; }
  std::string GetWindowsDirectory() override { return "C:\\WINDOWS"; }
  std::unique_ptr<FileSearch> FindFirst(const std::string& path_mask,
                                        uint32_t attribute_mask) override;
  bool DeleteFile(const std::string& path) override;
  uint32_t GetFileAttributes(const std::string& path) override;
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool MoveFileReplace(const std::string& from, const std::string& to) override;
  // Kept in reboot-deletes.txt of the machine root until SimMachine::Reboot.
  bool DeleteAtReboot(const std::string& path) override;
  std::string GetLogicalDriveStrings() override;
  std::string GetShortPathName(const std::string& path) override;
  bool GetDiskFreeSpace(const std::string& root_path, int64_t* free_bytes) override;
  uint32_t SetErrorMode(uint32_t mode) override;
  std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) override;

  // Shared with the profile and shell-link services of the same machine.
  // Parses and resolves a path; false (with the last error set) when the
  // folder that would hold it cannot be reached.
  bool Locate(const std::string& path, WindowsPath* windows_path, HostLocation* location);
  // Whether an existing entry may be replaced by a new file: ERROR_SUCCESS
  // or the error CreateFileA(CREATE_ALWAYS) would give.
  uint32_t CheckReplaceable(const HostLocation& location);
  // Writes a whole file as CreateFileA(CREATE_ALWAYS) + WriteFile would.
  bool WriteWholeFile(const std::string& path, const std::string& data);

  bool Fail(uint32_t code) {
    ctx_.last_error = code;
    return false;
  }

 private:
  // Whether the file is held open by this process, or is the running
  // program itself (its file, like an open handle, cannot be deleted,
  // replaced or written while it runs).
  bool IsOpen(const std::string& host);
  bool IsRunningProgram(const struct stat& st);
  // Whether a handle already open on the file refuses an open in mode: a
  // writer while one denies writing, a deny-write open while one writes.
  bool SharingRefuses(const std::string& host, OpenMode mode);
  int64_t FreeSpaceLeft(char drive);

  SimContext& ctx_;
};

// FILETIME of a host time.
FileTime HostTimeToFileTime(int64_t seconds, int64_t nanoseconds);

}  // namespace qr5::platform::sim
