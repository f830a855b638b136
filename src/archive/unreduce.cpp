// Methods 2 to 5, "reduced" with compression factor 1 to 4: follower sets
// followed by the probabilistic expansion of APPNOTE. The work area holds the
// 256 follower sets (64 bytes each: the count, then up to 63 followers) and
// the 16 KiB window.
#include <cstring>

#include "archive/bit_reader.h"
#include "archive/decoder.h"

namespace qr5::archive {

namespace {

constexpr size_t kSetStride = 64;
constexpr size_t kWindowOffset = 256 * kSetStride;
constexpr size_t kWindowSize = 16384;
constexpr size_t kWindowMask = kWindowSize - 1;
static_assert(kWindowOffset + kWindowSize <= kWorkAreaSize);
static_assert(kWindowSize <= kOutputWindow);

constexpr uint8_t kEscape = 0x90;

// Bits of an index into a follower set of n bytes.
unsigned IndexBits(unsigned n) {
  unsigned bits = 1;
  while ((1u << bits) < n) ++bits;
  return bits;
}

class Unreducer {
 public:
  Unreducer(DecoderIo& io, int factor)
      : io_(io), in_(io), sets_(io.work), window_(io.work + kWindowOffset), factor_(factor) {}

  void Run();
  void FlushRest() {
    if (wpos_ != 0) {
      std::memcpy(io_.output, window_, wpos_);
      io_.FlushOutput(io_.output, wpos_);
    }
    wpos_ = 0;
  }

 private:
  uint8_t NextByte();
  void Put(uint8_t b) {
    window_[wpos_++] = b;
    ++produced_;
    if (wpos_ == kWindowSize) FlushRest();
  }

  DecoderIo& io_;
  BitReader in_;
  uint8_t* sets_;
  uint8_t* window_;
  int factor_;
  size_t wpos_ = 0;
  uint64_t produced_ = 0;
  uint8_t last_ = 0;  // the previous byte out of the follower stage
};

// One byte of the first stage: a follower of the previous byte or a literal.
uint8_t Unreducer::NextByte() {
  const uint8_t* set = sets_ + last_ * kSetStride;
  const unsigned n = set[0];
  uint8_t b;
  if (n == 0 || in_.Read(1) == 1) {
    b = static_cast<uint8_t>(in_.Read(8));
  } else {
    const unsigned index = in_.Read(IndexBits(n));
    if (index >= n) throw CorruptData{};
    b = set[1 + index];
  }
  last_ = b;
  return b;
}

void Unreducer::Run() {
  for (int j = 255; j >= 0; --j) {
    uint8_t* set = sets_ + j * kSetStride;
    const unsigned n = in_.Read(6);
    set[0] = static_cast<uint8_t>(n);
    for (unsigned k = 0; k < n; ++k) set[1 + k] = static_cast<uint8_t>(in_.Read(8));
  }
  // A copy reaching back before the first byte finds these zeros.
  std::memset(window_, 0, kWindowSize);

  const unsigned length_bits = 8 - factor_;
  const unsigned length_mask = (1u << length_bits) - 1;
  const uint64_t size = io_.uncompressed_size;
  while (produced_ < size) {
    const uint8_t c = NextByte();
    if (c != kEscape) {
      Put(c);
      continue;
    }
    const uint8_t v = NextByte();
    if (v == 0) {
      Put(kEscape);
      continue;
    }
    unsigned length = v & length_mask;
    if (length == length_mask) length += NextByte();
    length += 3;
    const unsigned distance = (static_cast<unsigned>(v >> length_bits) << 8) + NextByte() + 1;
    // Byte by byte: a match may overlap the bytes it produces.
    size_t from = (wpos_ - distance) & kWindowMask;
    while (length-- > 0) {
      Put(window_[from]);
      from = (from + 1) & kWindowMask;
    }
  }
}

}  // namespace

void Unreduce(DecoderIo& io, int factor) {
  if (factor < 1 || factor > 4) return;
  Unreducer decoder(io, factor);
  try {
    decoder.Run();
  } catch (const CorruptData&) {
    // Ends the entry; its CRC check tells the rest.
  }
  decoder.FlushRest();
}

}  // namespace qr5::archive
