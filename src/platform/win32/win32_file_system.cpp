#include <vector>

#include "platform/win32/win32_files.h"

namespace qr5::platform::win32 {

namespace {

// GetDiskFreeSpaceExA is missing from the first Windows 95: it is looked up
// at run time, never imported.
using GetDiskFreeSpaceExAFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                            PULARGE_INTEGER);

GetDiskFreeSpaceExAFn FindGetDiskFreeSpaceEx() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<GetDiskFreeSpaceExAFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
}

// Calls fill(buffer, size) -> length with a growing buffer until the answer
// fits; the API functions below return the needed size when it does not.
template <typename Fill>
std::string Grown(DWORD first_size, Fill fill) {
  std::vector<char> buffer(first_size);
  for (;;) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768) return std::string();  // no path is longer
    buffer.resize(buffer.size() * 2 > length ? buffer.size() * 2 : length + 1);
  }
}

class Win32FileSystem : public FileSystem {
 public:
  uint32_t GetLastError() const override { return errors_.code(); }

  std::string SystemErrorText(uint32_t code) const override {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length != 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) ::LocalFree(text);
    return result;
  }

  std::string GetModuleFileName() override {
    // GetModuleFileNameA fills the buffer without an error when the path is
    // too long (old systems), so "length < size" is the only sign of a whole path.
    std::string path = Grown(MAX_PATH, [](char* buffer, DWORD size) {
      return ::GetModuleFileNameA(nullptr, buffer, size);
    });
    if (path.empty()) errors_.Fail();
    return path;
  }

  std::string GetTempPath() override {
    char buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathA(MAX_PATH, buffer);
    if (length == 0 || length > MAX_PATH) {
      errors_.Fail(length == 0 ? ::GetLastError() : ERROR_INSUFFICIENT_BUFFER);
      return std::string();
    }
    return std::string(buffer, length);
  }

  std::string GetCurrentDirectory() override {
    std::string path = Grown(MAX_PATH, [](char* buffer, DWORD size) {
      return ::GetCurrentDirectoryA(size, buffer);
    });
    if (path.empty()) errors_.Fail();
    return path;
  }

  std::string GetWindowsDirectory() override {
    std::string path = Grown(MAX_PATH, [](char* buffer, DWORD size) {
      return ::GetWindowsDirectoryA(buffer, size);
    });
    if (path.empty()) errors_.Fail();
    // A drive root ("C:\") is the only form that ends in a backslash.
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
  }

  std::unique_ptr<FileSearch> FindFirst(const std::string& path_mask,
                                        uint32_t attribute_mask) override {
    auto search = std::make_unique<Win32FileSearch>(path_mask, attribute_mask, &errors_);
    if (!search->ok()) return nullptr;
    return search;
  }

  bool DeleteFile(const std::string& path) override {
    return ::DeleteFileA(Z(path)) ? true : errors_.Fail();
  }

  uint32_t GetFileAttributes(const std::string& path) override {
    const DWORD attributes = ::GetFileAttributesA(Z(path));
    if (attributes == INVALID_FILE_ATTRIBUTES) errors_.Fail();
    return attributes;
  }

  bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
    return ::SetFileAttributesA(Z(path), attributes) ? true : errors_.Fail();
  }

  bool CreateDirectory(const std::string& path) override {
    return ::CreateDirectoryA(Z(path), nullptr) ? true : errors_.Fail();
  }

  bool RemoveDirectory(const std::string& path) override {
    return ::RemoveDirectoryA(Z(path)) ? true : errors_.Fail();
  }

  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override {
    return ::CopyFileA(Z(from), Z(to), fail_if_exists ? TRUE : FALSE) ? true : errors_.Fail();
  }

  bool MoveFileReplace(const std::string& from, const std::string& to) override {
    if (::MoveFileExA(Z(from), Z(to), MOVEFILE_REPLACE_EXISTING)) return true;
    if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return errors_.Fail();
    // Windows 95/98/ME have no MoveFileExA: delete the target, then move.
    if (!::DeleteFileA(Z(to)) && ::GetLastError() != ERROR_FILE_NOT_FOUND) return errors_.Fail();
    return ::MoveFileA(Z(from), Z(to)) ? true : errors_.Fail();
  }

  bool DeleteAtReboot(const std::string& path) override {
    return ::MoveFileExA(Z(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? true : errors_.Fail();
  }

  std::string GetLogicalDriveStrings() override {
    char buffer[1024];
    const DWORD length = ::GetLogicalDriveStringsA(1022, buffer);
    if (length == 0 || length > 1022) {
      errors_.Fail(length == 0 ? ::GetLastError() : ERROR_INSUFFICIENT_BUFFER);
      return std::string();
    }
    return std::string(buffer, length);
  }

  std::string GetShortPathName(const std::string& path) override {
    char buffer[MAX_PATH + 1];
    const DWORD length = ::GetShortPathNameA(Z(path), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
      errors_.Fail(length == 0 ? ::GetLastError() : ERROR_INSUFFICIENT_BUFFER);
      return std::string();
    }
    return std::string(buffer, length);
  }

  bool GetDiskFreeSpace(const std::string& root_path, int64_t* free_bytes) override {
    static const GetDiskFreeSpaceExAFn get_free_space_ex = FindGetDiskFreeSpaceEx();
    if (get_free_space_ex != nullptr) {
      ULARGE_INTEGER available, total, total_free;
      if (!get_free_space_ex(Z(root_path), &available, &total, &total_free))
        return errors_.Fail();
      *free_bytes = static_cast<int64_t>(available.QuadPart);
      return true;
    }
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (!::GetDiskFreeSpaceA(Z(root_path), &sectors_per_cluster, &bytes_per_sector,
                             &free_clusters, &clusters))
      return errors_.Fail();
    *free_bytes = static_cast<int64_t>(sectors_per_cluster) * bytes_per_sector * free_clusters;
    return true;
  }

  uint32_t SetErrorMode(uint32_t mode) override { return ::SetErrorMode(mode); }

  std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) override {
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
      case OpenMode::kRead:
        break;
      case OpenMode::kReadDenyWrite:
        share = FILE_SHARE_READ;
        break;
      case OpenMode::kReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
      case OpenMode::kCreateAlways:
        access = GENERIC_WRITE;
        share = FILE_SHARE_READ;
        disposition = CREATE_ALWAYS;
        break;
      case OpenMode::kCreateNew:
        access = GENERIC_WRITE;
        share = FILE_SHARE_READ;
        disposition = CREATE_NEW;
        break;
    }
    HANDLE handle = ::CreateFileA(Z(path), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      errors_.Fail();
      return nullptr;
    }
    return std::make_unique<Win32File>(handle, &errors_);
  }

 private:
  ErrorSlot errors_;
};

}  // namespace

std::unique_ptr<FileSystem> NewFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace qr5::platform::win32
