#include "archive/lfn_file_stream.h"

#include <algorithm>
#include <cstring>

namespace qr5::archive {

namespace {

std::string FileErrorText(const char* what, const std::string& path) {
  auto& files = *platform::Sys().files;
  std::string reason = files.SystemErrorText(files.GetLastError());
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) {
    reason.pop_back();
  }
  std::string text = std::string(what) + " \"" + path + "\".";
  if (!reason.empty()) text += " " + reason;
  return text;
}

}  // namespace

std::unique_ptr<TLFNFileStream> TLFNFileStream::TryOpen(const std::string& path,
                                                        platform::OpenMode mode) {
  auto file = platform::Sys().files->OpenFile(path, mode);
  if (!file) return nullptr;
  return std::make_unique<TLFNFileStream>(std::move(file));
}

std::unique_ptr<TLFNFileStream> TLFNFileStream::Open(const std::string& path,
                                                     platform::OpenMode mode) {
  auto stream = TryOpen(path, mode);
  if (!stream) {
    if (mode == platform::OpenMode::kCreateAlways || mode == platform::OpenMode::kCreateNew) {
      throw EFCreateError(FileErrorText("Cannot create file", path));
    }
    throw EFOpenError(FileErrorText("Cannot open file", path));
  }
  return stream;
}

TLFNFileStream::TLFNFileStream(std::unique_ptr<platform::File> file)
    : file_(std::move(file)), buffer_(new uint8_t[kBufferSize]) {
  file_position_ = file_->Position();
  if (file_position_ < 0) file_position_ = 0;
  position_ = buffer_start_ = file_position_;
}

TLFNFileStream::~TLFNFileStream() { WritePending(); }

bool TLFNFileStream::WritePending() {
  if (!dirty_) return true;
  dirty_ = false;
  bool ok = true;
  if (file_position_ != buffer_start_) ok = file_->Seek(buffer_start_);
  ok = ok && file_->Write(buffer_.get(), buffer_len_);
  file_position_ = buffer_start_ + (ok ? buffer_len_ : 0);
  if (!ok) {
    failed_write_ = true;
    file_position_ = file_->Position();
  }
  buffer_len_ = 0;
  buffer_start_ = position_;
  return ok;
}

void TLFNFileStream::DropBuffer() {
  WritePending();
  buffer_len_ = 0;
  buffer_start_ = position_;
}

uint32_t TLFNFileStream::Read(void* buffer, uint32_t size) {
  if (dirty_ && !WritePending()) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < size) {
    // Serve from the buffer when the position lies inside it.
    if (position_ >= buffer_start_ && position_ < buffer_start_ + buffer_len_) {
      uint32_t offset = static_cast<uint32_t>(position_ - buffer_start_);
      uint32_t n = std::min(size - done, buffer_len_ - offset);
      std::memcpy(out + done, buffer_.get() + offset, n);
      done += n;
      position_ += n;
      continue;
    }
    if (file_position_ != position_) {
      if (!file_->Seek(position_)) break;
      file_position_ = position_;
    }
    uint32_t want = size - done;
    if (want >= kBufferSize) {
      // Large reads bypass the buffer.
      uint32_t got = 0;
      if (!file_->Read(out + done, want, &got)) got = 0;
      file_position_ += got;
      position_ += got;
      done += got;
      buffer_len_ = 0;
      buffer_start_ = position_;
      break;
    }
    uint32_t got = 0;
    if (!file_->Read(buffer_.get(), kBufferSize, &got)) got = 0;
    buffer_start_ = position_;
    buffer_len_ = got;
    file_position_ += got;
    if (got == 0) break;
  }
  return done;
}

bool TLFNFileStream::Write(const void* buffer, uint32_t size) {
  const auto* in = static_cast<const uint8_t*>(buffer);
  if (!dirty_) {
    // Leaving read mode: the buffer's read bytes are no longer needed.
    buffer_len_ = 0;
    buffer_start_ = position_;
  }
  if (size >= kBufferSize && buffer_len_ == 0) {
    if (file_position_ != position_) {
      if (!file_->Seek(position_)) return false;
      file_position_ = position_;
    }
    bool ok = file_->Write(in, size);
    if (!ok) {
      failed_write_ = true;
      file_position_ = file_->Position();
      return false;
    }
    file_position_ += size;
    position_ += size;
    buffer_start_ = position_;
    return true;
  }
  uint32_t done = 0;
  while (done < size) {
    if (buffer_len_ == kBufferSize && !WritePending()) return false;
    if (buffer_len_ == 0) buffer_start_ = position_;
    uint32_t n = std::min(size - done, kBufferSize - buffer_len_);
    std::memcpy(buffer_.get() + buffer_len_, in + done, n);
    buffer_len_ += n;
    dirty_ = true;
    done += n;
    position_ += n;
  }
  return !failed_write_;
}

bool TLFNFileStream::Seek(int64_t position) {
  if (position < 0) return false;
  if (position == position_) return true;
  if (dirty_ && !WritePending()) return false;
  position_ = position;
  if (position < buffer_start_ || position >= buffer_start_ + buffer_len_) {
    buffer_len_ = 0;
    buffer_start_ = position;
  }
  return true;
}

int64_t TLFNFileStream::Size() {
  if (dirty_) WritePending();
  return file_->Size();
}

bool TLFNFileStream::Flush(bool to_disk) {
  bool ok = WritePending() && !failed_write_;
  if (to_disk) ok = file_->Flush() && ok;
  return ok;
}

}  // namespace qr5::archive
