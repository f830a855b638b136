#include "platform/win32/win32_files.h"

namespace qr5::platform::win32 {

namespace {

FileTime FromFiletime(const FILETIME& t) {
  return (static_cast<FileTime>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FILETIME ToFiletime(FileTime t) {
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
  result.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return result;
}

}  // namespace

Win32File::~Win32File() { ::CloseHandle(handle_); }

bool Win32File::Read(void* buffer, uint32_t size, uint32_t* got) {
  DWORD done = 0;
  const BOOL ok = ::ReadFile(handle_, buffer, size, &done, nullptr);
  if (got != nullptr) *got = done;
  return ok ? true : errors_->Fail();
}

bool Win32File::Write(const void* buffer, uint32_t size) {
  DWORD done = 0;
  if (!::WriteFile(handle_, buffer, size, &done, nullptr)) return errors_->Fail();
  // A short write without an error code means the disk is full.
  return done == size ? true : errors_->Fail(ERROR_DISK_FULL);
}

bool Win32File::Seek(int64_t position) {
  if (position < 0) return errors_->Fail(ERROR_NEGATIVE_SEEK);
  LONG high = static_cast<LONG>(position >> 32);
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(handle_, static_cast<LONG>(position & 0xFFFFFFFF), &high,
                                     FILE_BEGIN);
  // INVALID_SET_FILE_POINTER is also a valid low half: only the error code tells.
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return errors_->Fail();
  return true;
}

int64_t Win32File::Position() {
  LONG high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(handle_, 0, &high, FILE_CURRENT);
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) {
    errors_->Fail();
    return -1;
  }
  return (static_cast<int64_t>(high) << 32) | low;
}

int64_t Win32File::Size() {
  DWORD high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = ::GetFileSize(handle_, &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) {
    errors_->Fail();
    return -1;
  }
  return (static_cast<int64_t>(high) << 32) | low;
}

bool Win32File::GetTime(FileTime* last_write) {
  FILETIME written;
  if (!::GetFileTime(handle_, nullptr, nullptr, &written)) return errors_->Fail();
  *last_write = FromFiletime(written);
  return true;
}

bool Win32File::SetTime(FileTime last_write) {
  const FILETIME written = ToFiletime(last_write);
  return ::SetFileTime(handle_, nullptr, nullptr, &written) ? true : errors_->Fail();
}

bool Win32File::Flush() { return ::FlushFileBuffers(handle_) ? true : errors_->Fail(); }

}  // namespace qr5::platform::win32
