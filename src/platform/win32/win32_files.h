// The open-file and file-search objects of the Win32 file system. Both report
// their failures into the last-error slot of the file system that made them.
#pragma once

#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

// Where a failing call leaves its GetLastError code.
class ErrorSlot {
 public:
  // Records ::GetLastError() and returns false, for "return Fail();".
  bool Fail() { return Fail(::GetLastError()); }
  bool Fail(uint32_t code) {
    code_ = code;
    return false;
  }
  uint32_t code() const { return code_; }

 private:
  uint32_t code_ = 0;
};

// A CreateFileA handle.
class Win32File : public File {
 public:
  // Takes ownership of handle; errors go to *errors, which must outlive the file.
  Win32File(HANDLE handle, ErrorSlot* errors) : handle_(handle), errors_(errors) {}
  ~Win32File() override;
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  bool Read(void* buffer, uint32_t size, uint32_t* got) override;
  bool Write(const void* buffer, uint32_t size) override;
  bool Seek(int64_t position) override;
  int64_t Position() override;
  int64_t Size() override;
  bool GetTime(FileTime* last_write) override;
  bool SetTime(FileTime last_write) override;
  bool Flush() override;

 private:
  HANDLE handle_;
  ErrorSlot* errors_;
};

// A FindFirstFileA search with the attribute filter of the runtime's
// FindFirst: an entry is left out when it carries one of the hidden, system,
// volume-label or directory bits that the caller's mask lacks.
class Win32FileSearch : public FileSearch {
 public:
  // Starts the search; ok() tells whether a first match was found.
  Win32FileSearch(const std::string& path_mask, uint32_t attribute_mask, ErrorSlot* errors);
  ~Win32FileSearch() override;
  Win32FileSearch(const Win32FileSearch&) = delete;
  Win32FileSearch& operator=(const Win32FileSearch&) = delete;

  bool ok() const { return ok_; }
  const FindData& Current() const override { return current_; }
  bool Next() override;

 private:
  // Skips excluded entries from the one in raw_ on; false at the end.
  bool Settle();

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  uint32_t excluded_ = 0;
  ErrorSlot* errors_;
  WIN32_FIND_DATAA raw_{};
  FindData current_;
  bool ok_ = false;
};

}  // namespace qr5::platform::win32
