// TLFNFileStream: a file opened by path through the platform layer, read and
// written through an 8,192-byte buffer. Reads of a buffer or more go straight
// to the file when the buffer is empty, so block reads cost no extra copy.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/error.h"
#include "platform/platform.h"

namespace qr5::archive {

// The runtime's file errors: the file could not be opened or created.
class EFOpenError : public Error {
 public:
  using Error::Error;
};
class EFCreateError : public Error {
 public:
  using Error::Error;
};

class TLFNFileStream {
 public:
  static constexpr uint32_t kBufferSize = 8192;

  // Opens path; raises EFOpenError (kRead, kReadWrite) or EFCreateError
  // (kCreateAlways) with the system's reason.
  static std::unique_ptr<TLFNFileStream> Open(const std::string& path, platform::OpenMode mode);
  // The same without raising: null on failure (the platform's last error
  // tells why).
  static std::unique_ptr<TLFNFileStream> TryOpen(const std::string& path, platform::OpenMode mode);

  explicit TLFNFileStream(std::unique_ptr<platform::File> file);
  ~TLFNFileStream();  // writes what is pending
  TLFNFileStream(const TLFNFileStream&) = delete;
  TLFNFileStream& operator=(const TLFNFileStream&) = delete;

  // Bytes read, fewer at the end of the file or on an error.
  uint32_t Read(void* buffer, uint32_t size);
  bool ReadExact(void* buffer, uint32_t size) { return Read(buffer, size) == size; }
  // True when every byte was taken (written or buffered).
  bool Write(const void* buffer, uint32_t size);
  // Moves to an absolute position; a different position drops the buffer
  // (writing it first). Positions past the end are allowed, as with the
  // file itself; reading there yields nothing.
  bool Seek(int64_t position);
  int64_t Position() const { return position_; }
  int64_t Size();
  // Writes the buffer to the file; with to_disk also flushes the system's
  // buffers.
  bool Flush(bool to_disk = false);
  bool GetTime(platform::FileTime* time) { return Flush() && file_->GetTime(time); }

 private:
  bool WritePending();
  void DropBuffer();

  std::unique_ptr<platform::File> file_;
  std::unique_ptr<uint8_t[]> buffer_;
  int64_t position_ = 0;       // logical position
  int64_t file_position_ = 0;  // where the handle stands
  int64_t buffer_start_ = 0;   // file position of buffer_[0]
  uint32_t buffer_len_ = 0;    // valid read bytes, or pending write bytes
  bool dirty_ = false;         // the buffer holds unwritten bytes
  bool failed_write_ = false;
};

}  // namespace qr5::archive
