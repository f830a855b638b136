// The CRC-32 table and register, and the encryption keys' basic laws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "archive/crc32.h"
#include "archive/processor.h"
#include "archive/zip_crypto.h"

namespace qr5::archive {
namespace {

TEST(Crc32, TableIsTheReflectedPolynomialOfEachByte) {
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    ASSERT_EQ(kCrcTable[n], c) << n;
  }
}

TEST(Crc32, CheckValueAndPiecewiseUpdates) {
  const char* text = "123456789";
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  EXPECT_EQ(~UpdateCrc(kCrcInit, p, 9), 0xCBF43926u);  // the standard check value
  uint32_t reg = kCrcInit;
  for (size_t i = 0; i < 9; i += 2) reg = UpdateCrc(reg, p + i, std::min<size_t>(2, 9 - i));
  EXPECT_EQ(~reg, 0xCBF43926u);
  EXPECT_EQ(~UpdateCrc(kCrcInit, p, 0), 0u);  // an empty file has CRC 0
}

// The fast paths against the one-byte definition: the carry-less
// multiplication in 32-byte and in 16-byte registers (where the processor
// has them) and the slicing-by-8 table (with the instructions switched off).
// Every length up to several folding blocks at every start offset modulo
// 16, random registers and bytes, long runs, and a run fed in uneven pieces.
TEST(Crc32, FastUpdateEqualsTheByteStepOnEveryLengthAndAlignment) {
  std::mt19937 rng(20261208);
  std::vector<uint8_t> data(1 << 20);
  for (uint8_t& b : data) b = static_cast<uint8_t>(rng());
  const uint32_t whole = UpdateCrcBytewise(kCrcInit, data.data(), data.size());
  if (!ProcessorHas().clmul) std::printf("note: no carry-less multiplication here; the table path alone is tested\n");
  for (const int level : {2, 1, 0}) {
    SCOPED_TRACE(level == 2 ? "carry-less multiplication, wide where the processor has it"
                 : level == 1 ? "carry-less multiplication in 16-byte registers" : "slicing-by-8");
    ProcessorExtensions wanted;
    wanted.clmul = level >= 1;
    wanted.vclmul = level == 2;
    UseProcessorExtensions(wanted);
    ASSERT_EQ(Extensions().clmul, level >= 1 && ProcessorHas().clmul);
    for (size_t offset = 0; offset < 16; ++offset) {
      for (size_t length = 0; length <= 600; ++length) {
        const uint32_t reg = (length & 1) ? static_cast<uint32_t>(rng()) : kCrcInit;
        ASSERT_EQ(UpdateCrc(reg, data.data() + offset, length), UpdateCrcBytewise(reg, data.data() + offset, length))
            << "offset " << offset << " length " << length;
      }
    }
    for (int trial = 0; trial < 40; ++trial) {
      const size_t offset = rng() % 64;
      const size_t length = rng() % (data.size() - offset);
      const uint32_t reg = static_cast<uint32_t>(rng());
      ASSERT_EQ(UpdateCrc(reg, data.data() + offset, length), UpdateCrcBytewise(reg, data.data() + offset, length))
          << "offset " << offset << " length " << length;
    }
    EXPECT_EQ(UpdateCrc(kCrcInit, data.data(), data.size()), whole);
    uint32_t pieces = kCrcInit;
    for (size_t at = 0; at < data.size();) {
      const size_t n = std::min<size_t>(rng() % 40000, data.size() - at);
      pieces = UpdateCrc(pieces, data.data() + at, n);
      at += n;
    }
    EXPECT_EQ(pieces, whole);
  }
  UseProcessorExtensions(true);
}

TEST(ZipKeys, BlockDecryptionEqualsByteByByteAndInitResets) {
  uint8_t block[64];
  for (int i = 0; i < 64; ++i) block[i] = static_cast<uint8_t>(i * 37 + 1);
  uint8_t bytes[64];
  std::memcpy(bytes, block, sizeof bytes);

  ZipKeys a, b;
  a.Init("secret");
  b.Init("other");
  b.Init("secret");  // Init starts over
  a.Decrypt(block, sizeof block);
  for (uint8_t& x : bytes) x = b.DecryptByte(x);
  EXPECT_EQ(std::memcmp(block, bytes, sizeof block), 0);
  EXPECT_EQ(a.k0, b.k0);
  EXPECT_EQ(a.k1, b.k1);
  EXPECT_EQ(a.k2, b.k2);
}

}  // namespace
}  // namespace qr5::archive
