// The reader's decoders over an archive in memory: see decode_only.h.
#include "decode_only.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "archive/decoder.h"
#include "memory_decoder_io.h"

namespace qr5::bench {

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

DecodeOnly DecodeArchiveInMemory(const std::string& path, int passes) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (zip.empty()) throw std::runtime_error(path + ": cannot be read");
  MemoryDecoderIo io;
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
