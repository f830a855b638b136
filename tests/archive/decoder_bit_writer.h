// Test support: writes bit streams in the order the decoders read them
// (least significant bit first; prefix codes with their first bit first),
// and the canonical codes of a list of code lengths. Used to hand-make
// streams that no real encoder writes.
#pragma once

#include <cstdint>
#include <vector>

namespace qr5::archive::testing {

class BitWriter {
 public:
  void Put(uint32_t value, unsigned n) {
    for (unsigned i = 0; i < n; ++i) PutBit((value >> i) & 1);
  }
  // A prefix code: its most significant bit goes first.
  void PutCode(uint32_t code, unsigned len) {
    for (unsigned i = len; i-- > 0;) PutBit((code >> i) & 1);
  }
  void AlignToByte() {
    while (used_ != 0) PutBit(0);
  }
  void PutBytes(const std::vector<uint8_t>& bytes) {
    AlignToByte();
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  }
  std::vector<uint8_t> Finish() {
    AlignToByte();
    return bytes_;
  }

 private:
  void PutBit(unsigned bit) {
    if (used_ == 0) bytes_.push_back(0);
    bytes_.back() |= static_cast<uint8_t>(bit << used_);
    used_ = (used_ + 1) & 7;
  }

  std::vector<uint8_t> bytes_;
  unsigned used_ = 0;
};

// Canonical codes of RFC 1951 3.2.2 for the given lengths (0 = no code).
inline std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
  unsigned count[17] = {};
  for (uint8_t len : lengths) ++count[len];
  count[0] = 0;
  uint32_t next[17] = {};
  uint32_t code = 0;
  for (unsigned len = 1; len <= 16; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t s = 0; s < lengths.size(); ++s)
    if (lengths[s] != 0) codes[s] = next[lengths[s]]++;
  return codes;
}

// A code given by its lengths, for writing symbols.
struct PrefixCode {
  explicit PrefixCode(std::vector<uint8_t> l) : lengths(std::move(l)), codes(CanonicalCodes(lengths)) {}
  void Write(BitWriter& w, unsigned symbol) const { w.PutCode(codes.at(symbol), lengths.at(symbol)); }
  std::vector<uint8_t> lengths;
  std::vector<uint32_t> codes;
};

}  // namespace qr5::archive::testing
