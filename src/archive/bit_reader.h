// Bit input of the older methods (1 to 6): bits leave from the least
// significant end of a 64-bit buffer that is filled byte by byte through
// DecoderIo::ReadByte. Past the entry's last byte the buffer is filled with
// zero bits; valid data never consumes them, so taking one ends the decoder
// (CorruptData) instead of running on with made-up input.
#pragma once

#include <cstdint>

#include "archive/decoder.h"

namespace qr5::archive {

// Thrown inside a decoder when its input cannot be valid; each decoder
// catches it, flushes what it has produced and returns.
struct CorruptData {};

class BitReader {
 public:
  explicit BitReader(DecoderIo& io) : io_(io) {}

  // The next n (at most 32) bits, not taken.
  uint32_t Peek(unsigned n) {
    Fill(n);
    return static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
  }
  // Takes n bits (at most 32).
  void Skip(unsigned n) {
    Fill(n);
    bits_ >>= n;
    count_ -= n;
    if (count_ < padding_) throw CorruptData{};
  }
  uint32_t Read(unsigned n) {
    const uint32_t v = Peek(n);
    Skip(n);
    return v;
  }
  // At least max_bits (at most 32) bits, for a table lookup.
  uint64_t Window(unsigned max_bits) {
    Fill(max_bits);
    return bits_;
  }

 private:
  void Fill(unsigned n) {
    while (count_ < n) {
      uint8_t b;
      if (io_.ReadByte(b))
        bits_ |= uint64_t{b} << count_;
      else
        padding_ += 8;
      count_ += 8;
    }
  }

  DecoderIo& io_;
  uint64_t bits_ = 0;
  unsigned count_ = 0;
  unsigned padding_ = 0;
};

}  // namespace qr5::archive
