#include "platform/win32/win32_files.h"

#include <cstring>

namespace qr5::platform::win32 {

namespace {

// The bits a search leaves out unless the caller's mask admits them.
constexpr uint32_t kSpecial = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              0x08 /* volume label */ | FILE_ATTRIBUTE_DIRECTORY;

// The text of a fixed array up to its first zero byte.
std::string Terminated(const char* text, size_t size) {
  const void* end = std::memchr(text, 0, size);
  return std::string(text, end != nullptr ? static_cast<const char*>(end) : text + size);
}

}  // namespace

Win32FileSearch::Win32FileSearch(const std::string& path_mask, uint32_t attribute_mask,
                                 ErrorSlot* errors)
    : excluded_(~attribute_mask & kSpecial), errors_(errors) {
  handle_ = ::FindFirstFileA(Z(path_mask), &raw_);
  if (handle_ == INVALID_HANDLE_VALUE) {
    errors_->Fail();
    return;
  }
  ok_ = Settle();
}

Win32FileSearch::~Win32FileSearch() {
  if (handle_ != INVALID_HANDLE_VALUE) ::FindClose(handle_);
}

bool Win32FileSearch::Settle() {
  while ((raw_.dwFileAttributes & excluded_) != 0) {
    if (!::FindNextFileA(handle_, &raw_)) return errors_->Fail();
  }
  current_.attributes = raw_.dwFileAttributes;
  current_.size = (static_cast<uint64_t>(raw_.nFileSizeHigh) << 32) | raw_.nFileSizeLow;
  current_.last_write =
      (static_cast<FileTime>(raw_.ftLastWriteTime.dwHighDateTime) << 32) |
      raw_.ftLastWriteTime.dwLowDateTime;
  // Both name fields are zero-terminated within their arrays, but a broken
  // file system driver must not make us read past them.
  current_.name = Terminated(raw_.cFileName, sizeof raw_.cFileName);
  current_.short_name = Terminated(raw_.cAlternateFileName, sizeof raw_.cAlternateFileName);
  return true;
}

bool Win32FileSearch::Next() {
  if (handle_ == INVALID_HANDLE_VALUE) return errors_->Fail(ERROR_NO_MORE_FILES);
  if (!::FindNextFileA(handle_, &raw_)) return errors_->Fail();
  return Settle();
}

}  // namespace qr5::platform::win32
