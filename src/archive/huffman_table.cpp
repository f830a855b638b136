// Builds the two-level tables of huffman_table.h from a code's lengths.
#include "archive/huffman_table.h"

#include <new>

namespace qr5::archive {

namespace {

constexpr unsigned kMaxCodeLen = 16;

uint32_t Reverse(uint32_t code, unsigned len) {
  uint32_t r = 0;
  for (unsigned i = 0; i < len; ++i) {
    r = (r << 1) | (code & 1);
    code >>= 1;
  }
  return r;
}

}  // namespace

HuffmanTable::Result HuffmanTable::Build(const uint8_t* lengths, size_t count,
                                         const uint32_t* templates, unsigned root_bits,
                                         unsigned max_len, bool allow_sparse) {
  using namespace hufentry;
  entries_.reset();
  if (max_len > kMaxCodeLen || root_bits == 0 || root_bits > max_len || count > 512)
    return Result::kBadCode;
  root_bits_ = root_bits;
  root_mask_ = (uint64_t{1} << root_bits) - 1;

  uint16_t len_count[kMaxCodeLen + 1] = {};
  for (size_t s = 0; s < count; ++s) {
    if (lengths[s] > max_len) return Result::kBadCode;
    ++len_count[lengths[s]];
  }
  len_count[0] = 0;

  // Over-subscribed codes are never valid; incomplete ones only in the two
  // sparse forms.
  int32_t left = 1;
  unsigned used = 0;
  for (unsigned len = 1; len <= max_len; ++len) {
    left = left * 2 - len_count[len];
    if (left < 0) return Result::kBadCode;
    used += len_count[len];
  }
  if (left > 0) {
    const bool sparse = used == 0 || (used == 1 && len_count[1] == 1);
    if (!allow_sparse || !sparse) return Result::kBadCode;
  }

  // Symbols in canonical order: by length, then by symbol.
  uint16_t offset[kMaxCodeLen + 2] = {};
  for (unsigned len = 1; len <= max_len; ++len) offset[len + 1] = offset[len] + len_count[len];
  uint16_t sorted[512];
  for (size_t s = 0; s < count; ++s)
    if (lengths[s] != 0) sorted[offset[lengths[s]]++] = static_cast<uint16_t>(s);

  // Canonical code of each symbol in that order (RFC 1951, 3.2.2).
  uint32_t next_code[kMaxCodeLen + 1] = {};
  uint32_t code = 0;
  for (unsigned len = 1; len <= max_len; ++len) {
    code = (code + len_count[len - 1]) << 1;
    next_code[len] = code;
  }
  uint32_t codes[512];
  for (unsigned i = 0; i < used; ++i) codes[i] = next_code[lengths[sorted[i]]]++;

  // Codes longer than root_bits that share their first root_bits bits form a
  // group with one second-level table, as wide as the group's longest code
  // needs. Canonical order keeps a group together and puts its longest code
  // last, so a backward walk finds each group's width first.
  uint8_t width[512];
  size_t total = size_t{1} << root_bits;
  {
    int64_t group = -1;
    unsigned w = 0;
    for (unsigned i = used; i-- > 0;) {
      const unsigned len = lengths[sorted[i]];
      if (len <= root_bits) break;  // shorter codes all come first
      const int64_t prefix = codes[i] >> (len - root_bits);
      if (prefix != group) {
        group = prefix;
        w = len - root_bits;
        total += size_t{1} << w;
      }
      width[i] = static_cast<uint8_t>(w);
    }
  }
  if (total > 0xFFFF) return Result::kBadCode;  // links hold 16-bit indexes

  uint32_t* t = new (std::nothrow) uint32_t[total];
  if (t == nullptr) return Result::kNoMemory;
  entries_.reset(t);
  for (size_t i = 0; i < total; ++i) t[i] = kInvalid;

  const size_t root_size = size_t{1} << root_bits;
  size_t next_sub = root_size;
  size_t sub = 0;
  int64_t group = -1;
  for (unsigned i = 0; i < used; ++i) {
    const unsigned sym = sorted[i];
    const unsigned len = lengths[sym];
    const uint32_t rev = Reverse(codes[i], len);
    const uint32_t e = templates[sym] + len + (len << 8);
    if (len <= root_bits) {
      for (size_t k = rev; k < root_size; k += size_t{1} << len) t[k] = e;
      continue;
    }
    const unsigned w = width[i];
    const int64_t prefix = codes[i] >> (len - root_bits);
    if (prefix != group) {
      group = prefix;
      sub = next_sub;
      next_sub += size_t{1} << w;
      t[rev & root_mask_] = Make(kLink, static_cast<uint32_t>(sub)) | root_bits | (w << 8);
    }
    for (size_t k = rev >> root_bits; k < (size_t{1} << w); k += size_t{1} << (len - root_bits))
      t[sub + k] = e;
  }
  return Result::kOk;
}

}  // namespace qr5::archive
