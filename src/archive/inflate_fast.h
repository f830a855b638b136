// The fast loop of inflate: literals and matches of one block while plenty of
// input is buffered and the window has room for three literals (a match that
// runs past the window's end is finished after the flush). The careful
// one-symbol path of inflate.cpp does the rest.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/huffman_table.h"

namespace qr5::archive {

// Where the decoder stands between two symbols.
struct InflateCursor {
  const uint8_t* in;      // next input byte not yet counted in the bit buffer
  const uint8_t* in_end;  // end of the buffered input
  uint8_t* window;        // the 32 KiB sliding window (the run's output buffer)
  size_t pos;             // next window position, below the window's size
  bool wrapped;           // the whole window holds history
  uint64_t bitbuf;        // above bitcount: zeros or the next input bits
  unsigned bitcount;
  size_t pending_len;     // bytes of a match still to copy after a flush
  size_t pending_dist;
};

enum class FastStop {
  kSlowPath,    // too little input or window room left: one symbol the careful way
  kWindowFull,  // pos reached the window's end: flush it, then go on
  kEndOfBlock,
  kBadData,
};

// Input bytes and window room the fast loop needs to start: a refill reads
// 8 bytes and the first one may count 7 of them before the next; up to three
// literals come on one refill.
inline constexpr size_t kFastInputMargin = 16;
inline constexpr size_t kFastWindowMargin = 3;

// First finishes a pending match, then decodes while the margins hold. Never
// reads input at or past in_end and never writes outside the window; the
// window bytes after pos stay as they are. After kWindowFull the caller
// flushes the window, sets pos to 0 and calls again before anything else.
FastStop InflateFast(InflateCursor& c, const HuffmanTable& lit, const HuffmanTable& dist);

}  // namespace qr5::archive
