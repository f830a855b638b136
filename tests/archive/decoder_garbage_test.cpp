// Random bytes and damaged real entries into every decoder: each must end
// (no hang), write nothing beyond the entry's size and raise nothing but the
// archive exceptions its contract names. Memory safety itself is proven by
// running these under AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <random>

#include "decoder_test_io.h"

namespace qr5::archive::testing {
namespace {

using Bytes = std::vector<uint8_t>;

struct Variant {
  uint16_t method;
  uint16_t flags;
};
const Variant kVariants[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {6, 2}, {6, 4}, {6, 6}, {8, 0}};

// Runs one decoder and checks the outcome; returns the bytes written.
size_t RunChecked(const Variant& v, const Bytes& data, uint64_t size, size_t block, uint64_t stored_size) {
  MemoryDecoderIo::Options o;
  o.block = block;
  o.bit_flags = v.flags;
  o.stored_compressed_size = stored_size;
  MemoryDecoderIo io(data, size, o);
  try {
    RunDecoder(v.method, io);
  } catch (const EBiggerThanUncompressed&) {
    // Allowed for every method (for inflate only from its last flush).
  }
  EXPECT_LE(io.Output().size(), size);
  return io.Output().size();
}

TEST(DecoderGarbage, RandomBytes) {
  std::mt19937 rng(4242);
  const uint64_t sizes[] = {0, 1, 100, 70000, 0xFFFFFFFFu};
  for (int round = 0; round < 300; ++round) {
    for (const Variant& v : kVariants) {
      Bytes data(rng() % 3000);
      for (auto& b : data) b = static_cast<uint8_t>(rng());
      // Some inputs with long runs of zeros or ones, which make long codes.
      if (round % 5 == 0 && !data.empty()) std::fill(data.begin() + data.size() / 2, data.end(), round % 10 ? 0x00 : 0xFF);
      const uint64_t size = sizes[rng() % 5];
      const size_t block = 1 + rng() % (round % 3 ? 64 : kInputBlock);
      SCOPED_TRACE("round " + std::to_string(round) + " method " + std::to_string(v.method));
      RunChecked(v, data, size, block, round % 7 ? data.size() : 250000);
    }
  }
}

TEST(DecoderGarbage, DamagedRealEntries) {
  const struct {
    const char* archive;
    const char* entry;
  } sources[] = {
      {"legacy/shrink.zip", "allbytes.bin"},          {"legacy/shrink.zip", "english.txt"},
      {"legacy/zipada_shrink.zip", "repetitive.bin"}, {"legacy/reduce1.zip", "english.txt"},
      {"legacy/reduce4.zip", "allbytes.bin"},         {"legacy/implode_4k_2trees.zip", "english.txt"},
      {"legacy/implode_8k_3trees.zip", "allbytes.bin"}, {"legacy/implode_8k_3trees.zip", "english.txt"},
      {"deflate/deflate_variants.zip", "english_fixed.txt"}, {"deflate/deflate_variants.zip", "english_sync_flush.txt"},
      {"deflate/infozip_deflate.zip", "english.txt"},  {"deflate/infozip_deflate.zip", "random70000.bin"},
  };
  std::mt19937 rng(99);
  for (const auto& s : sources) {
    const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath(std::string("zip/") + s.archive));
    const ZipEntry& e = FindEntry(entries, s.entry);
    const Variant v{e.method, e.flags};
    for (int round = 0; round < 40; ++round) {
      Bytes data = e.data;
      const int hits = 1 + rng() % 8;
      for (int h = 0; h < hits; ++h) {
        // Early bytes (trees, follower sets, block headers) matter most.
        const size_t at = round % 2 ? rng() % std::min<size_t>(data.size(), 64) : rng() % data.size();
        data[at] ^= static_cast<uint8_t>(1 + rng() % 255);
      }
      if (round % 4 == 3) data.resize(rng() % data.size());
      SCOPED_TRACE(std::string(s.archive) + " " + s.entry + " round " + std::to_string(round));
      const uint64_t size = round % 5 == 4 ? 0xFFFFFFFFu : e.uncompressed_size;
      RunChecked(v, data, size, 1 + rng() % kInputBlock, e.compressed_size);
    }
  }
}

}  // namespace
}  // namespace qr5::archive::testing
