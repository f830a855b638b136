// The benches' input for a decoder: one entry's compressed bytes in memory,
// fed in 32 KiB blocks as a file read feeds them; the output is counted and,
// when asked, its CRC-32 kept, then dropped.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "archive/crc32.h"
#include "archive/decoder.h"

namespace qr5::bench {

class MemoryDecoderIo : public archive::DecoderIo {
 public:
  MemoryDecoderIo()
      : input_(new uint8_t[archive::kInputBufferSize]), output_(new uint8_t[archive::kOutputBufferSize]),
        work_(new uint8_t[archive::kWorkAreaSize]) {
    output = output_.get();
    work = work_.get();
  }
  // The entry to decode next; data must outlive the decoding.
  void Start(const uint8_t* data, size_t size, uint64_t uncompressed = UINT64_MAX) {
    data_ = data;
    size_ = size;
    read_ = 0;
    crc_ = archive::kCrcInit;
    produced_ = 0;
    compressed_size = size;
    uncompressed_size = uncompressed;
    in_pos_ = in_end_ = input_.get();
  }
  // Whether the output's CRC-32 is kept (off for timed runs that want the
  // decoder alone).
  void SetCheck(bool on) { check_ = on; }

  bool Refill() override {
    const size_t n = std::min(archive::kInputBlock, size_ - read_);
    if (n == 0) return false;
    std::memcpy(input_.get(), data_ + read_, n);
    read_ += n;
    in_pos_ = input_.get();
    in_end_ = input_.get() + n;
    return true;
  }
  uint64_t RemainingCompressed() const override { return size_ - read_; }
  void FlushOutput(const uint8_t* p, size_t n) override {
    if (check_) crc_ = archive::UpdateCrc(crc_, p, n);
    produced_ += n;
  }
  void ShowMessage(const std::string&, const std::string&) override {}

  uint32_t Crc() const { return ~crc_; }
  uint64_t Produced() const { return produced_; }

 private:
  std::unique_ptr<uint8_t[]> input_, output_, work_;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0, read_ = 0;
  bool check_ = true;
  uint32_t crc_ = archive::kCrcInit;
  uint64_t produced_ = 0;
};

}  // namespace qr5::bench
