// What the decoder fuzz targets share: a DecoderIo over the fuzz input. The
// input's first bytes pick the entry's facts (flag bits, uncompressed size,
// input block size); the rest is the compressed data. Output is checked
// against the size, as the reader's FlushOutput does, and then dropped.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "archive/decoder.h"
#include "archive/zip_errors.h"

namespace qr5::fuzz {

using archive::DecoderIo;

class FuzzDecoderIo : public DecoderIo {
 public:
  // Header: flags (1 byte), size (3 bytes, little-endian), block (2 bytes).
  static constexpr size_t kHeader = 6;

  FuzzDecoderIo(const uint8_t* data, size_t size)
      : input_(new uint8_t[archive::kInputBufferSize]),
        output_(new uint8_t[archive::kOutputBufferSize]),
        work_(new uint8_t[archive::kWorkAreaSize]) {
    uint8_t h[kHeader] = {};
    std::memcpy(h, data, std::min(size, kHeader));
    const size_t skip = std::min(size, kHeader);
    data_ = data + skip;
    size_ = size - skip;
    bit_flags = h[0];
    uncompressed_size = h[1] | h[2] << 8 | static_cast<uint64_t>(h[3] & 0x0F) << 16;  // below 1 MiB
    block_ = 1 + ((h[4] | h[5] << 8) % archive::kInputBlock);
    compressed_size = size_;
    output = output_.get();
    work = work_.get();
    in_pos_ = in_end_ = input_.get();
  }

  bool Refill() override {
    const size_t n = std::min(block_, size_ - read_);
    if (n == 0) return false;
    std::memcpy(input_.get(), data_ + read_, n);
    read_ += n;
    in_pos_ = input_.get();
    in_end_ = input_.get() + n;
    return true;
  }
  uint64_t RemainingCompressed() const override { return size_ - read_; }
  void FlushOutput(const uint8_t* p, size_t n) override {
    if (n > archive::kOutputBufferSize) __builtin_trap();
    // Reading both ends lets the sanitizer see a flush from outside a buffer.
    if (n > 0) sink_ = sink_ + p[0] + p[n - 1];
    if (written_ + n > uncompressed_size)
      throw archive::EBiggerThanUncompressed("File is larger than uncompressed size!");
    written_ += n;
  }
  void ShowMessage(const std::string&, const std::string&) override {}

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t read_ = 0;
  size_t block_ = archive::kInputBlock;
  uint64_t written_ = 0;
  volatile unsigned sink_ = 0;
  std::unique_ptr<uint8_t[]> input_, output_, work_;
};

// Runs a decoder; only the exceptions its contract allows may leave it.
template <typename Decode>
int RunDecoder(const uint8_t* data, size_t size, Decode&& decode) {
  FuzzDecoderIo io(data, size);
  try {
    decode(io);
  } catch (const archive::EBiggerThanUncompressed&) {
  }
  return 0;
}

}  // namespace qr5::fuzz
