// Two-level lookup tables for canonical prefix codes, shared by inflate and
// explode. Codes arrive with their first bit in the least significant bit of
// the bit buffer (the order of RFC 1951); explode looks its codes up with the
// bits inverted, which turns its Shannon-Fano codes into canonical ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qr5::archive {

// One table entry, 32 bits, laid out so that a decoder takes a symbol with
// its extra bits in one step:
//   bits 0..7    bits to drop: the code length plus the extra bits of a
//                length or distance (for a link: the first-level width)
//   bits 8..12   the code length (for a link: the width of its second-level table)
//   bits 13..15  kind: one bit for a literal, one for a link, one for the end
//                of a block; link and end together mark an invalid code
//   bits 16..31  value: literal byte, base of a length or distance, symbol, or
//                the index of a second-level table
namespace hufentry {
inline constexpr uint32_t kBase = 0;              // length or distance with extra bits
inline constexpr uint32_t kLiteral = 1u << 13;
inline constexpr uint32_t kLink = 2u << 13;       // to a second-level table
inline constexpr uint32_t kEndOfBlock = 4u << 13;
inline constexpr uint32_t kInvalid = 6u << 13;    // no code, or a symbol that may not occur
inline constexpr uint32_t kKindMask = 7u << 13;
inline constexpr uint32_t kExceptional = kLink | kEndOfBlock;  // link, end or invalid

// A symbol's template: its kind, value and extra bit count; the table adds
// the code length.
constexpr uint32_t Make(uint32_t kind, uint32_t value, uint32_t extra = 0) { return kind | (value << 16) | extra; }
constexpr unsigned Bits(uint32_t e) { return e & 0xFF; }
constexpr unsigned CodeLength(uint32_t e) { return (e >> 8) & 0x1F; }
constexpr unsigned Width(uint32_t e) { return (e >> 8) & 0x1F; }
constexpr uint32_t Kind(uint32_t e) { return e & kKindMask; }
constexpr unsigned Value(uint32_t e) { return e >> 16; }
// The extra bits that follow the code in bits (taken before the entry's
// bits were dropped).
constexpr uint32_t ExtraValue(uint64_t bits, uint32_t e) {
  return static_cast<uint32_t>((bits & ((uint64_t{1} << Bits(e)) - 1)) >> CodeLength(e));
}
}  // namespace hufentry

class HuffmanTable {
 public:
  enum class Result { kOk, kBadCode, kNoMemory };

  // Builds the table of a code given by its code lengths (0 = symbol unused,
  // at most max_len). templates[s] is the entry of symbol s without its bit
  // count. A complete code is required, except that with allow_sparse a code
  // without any symbol, or with a single code of length 1, is accepted (RFC
  // 1951 permits both for distances); the unused bit patterns then decode
  // as kInvalid.
  Result Build(const uint8_t* lengths, size_t count, const uint32_t* templates,
               unsigned root_bits, unsigned max_len, bool allow_sparse);

  // The entry for the next code; bits holds at least max_len bits with the
  // code's first bit lowest. Never reads outside the table.
  uint32_t Lookup(uint64_t bits) const {
    uint32_t e = entries_[bits & root_mask_];
    if (hufentry::Kind(e) == hufentry::kLink) {
      const unsigned width = hufentry::Width(e);
      // Second-level entries carry the full code length as their drop count.
      e = entries_[hufentry::Value(e) + ((bits >> root_bits_) & ((1u << width) - 1))];
    }
    return e;
  }

  const uint32_t* Entries() const { return entries_.get(); }
  unsigned RootBits() const { return root_bits_; }

 private:
  std::unique_ptr<uint32_t[]> entries_;
  unsigned root_bits_ = 0;
  uint64_t root_mask_ = 0;
};

}  // namespace qr5::archive
