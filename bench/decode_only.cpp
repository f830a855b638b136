// The reader's decoders over an archive in memory: see decode_only.h.
#include "decode_only.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <vector>

#include "archive/crc32.h"
#include "archive/decoder.h"

namespace qr5::bench {

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// One entry's compressed bytes, fed in 32 KiB blocks as a file read does.
class MemoryIo : public archive::DecoderIo {
 public:
  MemoryIo()
      : input_(new uint8_t[archive::kInputBufferSize]), output_(new uint8_t[archive::kOutputBufferSize]),
        work_(new uint8_t[archive::kWorkAreaSize]) {
    output = output_.get();
    work = work_.get();
  }
  void Start(const uint8_t* data, size_t size, uint64_t uncompressed) {
    data_ = data;
    size_ = size;
    read_ = 0;
    crc_ = archive::kCrcInit;
    produced_ = 0;
    compressed_size = size;
    uncompressed_size = uncompressed;
    in_pos_ = in_end_ = input_.get();
  }
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
    crc_ = archive::UpdateCrc(crc_, p, n);
    produced_ += n;
  }
  void ShowMessage(const std::string&, const std::string&) override {}
  uint32_t Crc() const { return ~crc_; }
  uint64_t Produced() const { return produced_; }

 private:
  std::unique_ptr<uint8_t[]> input_, output_, work_;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0, read_ = 0;
  uint32_t crc_ = 0;
  uint64_t produced_ = 0;
};

}  // namespace

DecodeOnly DecodeArchiveInMemory(const std::string& path, int passes) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (zip.empty()) throw std::runtime_error(path + ": cannot be read");
  MemoryIo io;
  DecodeOnly result;
  result.seconds = 1e9;
  for (int pass = 0; pass < passes; ++pass) {
    uint64_t bytes = 0;
    bool crc_ok = true;
    const auto start = std::chrono::steady_clock::now();
    // The archive may follow a program (a setup's payload).
    size_t at = 0;
    while (at + 4 <= zip.size() && Le32(&zip[at]) != 0x04034b50) ++at;
    while (at + 30 <= zip.size() && Le32(&zip[at]) == 0x04034b50) {
      const uint8_t* h = &zip[at];
      const size_t data = at + 30 + Le16(h + 26) + Le16(h + 28);
      const uint32_t packed = Le32(h + 18);
      if (data + packed > zip.size()) throw std::runtime_error(path + ": an entry runs past the end");
      if (Le16(h + 8) == 8) {
        io.Start(&zip[data], packed, Le32(h + 22));
        archive::Inflate(io);
        crc_ok = crc_ok && io.Crc() == Le32(h + 14) && io.Produced() == Le32(h + 22);
        bytes += io.Produced();
      }
      at = data + packed;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.seconds = std::min(result.seconds, seconds);
    result.bytes = bytes;
    result.crc_ok = crc_ok;
  }
  return result;
}

}  // namespace qr5::bench
