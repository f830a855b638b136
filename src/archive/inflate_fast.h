// The fast loop of inflate: literals and matches of one block while plenty of
// input is buffered and the window is not yet full. The careful one-symbol
// path of inflate.cpp does the rest.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/huffman_table.h"

namespace qr5::archive {

// First-level widths of inflate's tables, fixed so that the loop masks with
// constants: wide enough that second-level lookups are rare.
inline constexpr unsigned kLitLenRootBits = 11;
inline constexpr unsigned kDistRootBits = 8;

// Where the decoder stands between two symbols. The window is preceded by
// the output before it (history, once there is some) and followed by at
// least kOutputSlack bytes of room.
struct InflateCursor {
  const uint8_t* in;      // next input byte not yet counted in the bit buffer
  const uint8_t* in_end;  // end of the buffered input
  uint8_t* window;        // the window being filled
  size_t pos;             // next window position; at most a match past its end
  size_t history;         // bytes before the window that matches may reach
  uint64_t bitbuf;        // above bitcount: zeros or the next input bits
  unsigned bitcount;
};

enum class FastStop {
  kSlowPath,    // too little input left, or the window is full
  kEndOfBlock,
  kBadData,
};

// Input bytes the fast loop needs to start: each of a symbol's two refills
// reads 8 bytes and may count 7 of them.
inline constexpr size_t kFastInputMargin = 16;

// Decodes while the margin holds and pos is below the window's size. Never
// reads input at or past in_end; writes only from window + pos up to
// kOutputSlack bytes past the window's end (bytes past the new pos are
// scratch). Tables must have the root widths above.
FastStop InflateFast(InflateCursor& c, const HuffmanTable& lit, const HuffmanTable& dist);

}  // namespace qr5::archive
