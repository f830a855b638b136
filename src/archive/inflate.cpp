// Method 8, "deflated" (RFC 1951). Table-driven: each block's codes become
// two-level lookup tables, built for the block and freed after it. Their
// first levels are 11 bits for literals/lengths and 8 for distances (the
// classic 9 and 6 send too many codes to a second lookup), for the fixed
// codes too, and 7 for the code length code.
//
// The windows being filled are the second to fourth 32 KiB of the run's
// output buffer, one after the other; the first holds the window flushed
// before them, so matches reach back without wrapping. Each window is
// flushed when it is full; after the last one, it and the few bytes a last
// match wrote past its end move down to the buffer's start.
//
// The fast loop (inflate_fast.cpp) runs while enough input is buffered and
// the window is not full; a careful one-symbol path here handles the rest.
//
// Any error inside a block (bad data, short input, a failed flush) ends the
// decoder quietly: what was flushed stays written and the CRC check judges
// the entry. Only a user's cancel passes through.
#include <algorithm>
#include <cstring>

#include "archive/decoder.h"
#include "archive/huffman_table.h"
#include "archive/inflate_fast.h"
#include "archive/zip_errors.h"

namespace qr5::archive {

namespace {

using namespace hufentry;

constexpr size_t kWindow = kOutputWindow;
constexpr unsigned kMaxCodeLen = 15;

// Ends the decoder quietly; never leaves Inflate().
struct BadData {};

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct Templates {
  uint32_t litlen[288];
  uint32_t dist[32];
  uint32_t codelen[19];
};

constexpr Templates MakeTemplates() {
  Templates t{};
  for (unsigned s = 0; s < 256; ++s) t.litlen[s] = Make(kLiteral, s);
  t.litlen[256] = Make(kEndOfBlock, 0);
  for (unsigned s = 257; s < 286; ++s) t.litlen[s] = Make(kBase, kLengthBase[s - 257], kLengthExtra[s - 257]);
  t.litlen[286] = t.litlen[287] = kInvalid;  // take part in the fixed code, never valid
  for (unsigned s = 0; s < 30; ++s) t.dist[s] = Make(kBase, kDistBase[s], kDistExtra[s]);
  t.dist[30] = t.dist[31] = kInvalid;
  for (unsigned s = 0; s < 19; ++s) t.codelen[s] = Make(kLiteral, s);
  return t;
}
constexpr Templates kTemplates = MakeTemplates();

inline uint64_t LowBits(uint64_t v, unsigned n) { return v & ((uint64_t{1} << n) - 1); }

class Inflater {
 public:
  explicit Inflater(DecoderIo& io) : io_(io), first_(io.output + kWindow), win_(first_) {}

  void Run();
  void FlushRest() {
    if (pos_ != 0) io_.FlushOutput(win_, pos_);
    pos_ = 0;
  }

 private:
  // Bits, one byte at a time; past the entry's last byte zero bits are
  // supplied, and consuming one of them is an error.
  void Need(unsigned n) {
    while (bitcount_ < n) {
      uint8_t b;
      if (io_.ReadByte(b))
        bitbuf_ |= uint64_t{b} << bitcount_;
      else
        padding_ += 8;
      bitcount_ += 8;
    }
  }
  void Drop(unsigned n) {
    bitbuf_ >>= n;
    bitcount_ -= n;
    if (bitcount_ < padding_) throw BadData{};
  }
  uint32_t Take(unsigned n) {
    Need(n);
    const uint32_t v = static_cast<uint32_t>(LowBits(bitbuf_, n));
    Drop(n);
    return v;
  }

  void Stored();
  void Fixed();
  void Dynamic();
  void Build(HuffmanTable& table, const uint8_t* lengths, size_t count, const uint32_t* templates,
             unsigned root_bits, bool allow_sparse);
  void Codes(const HuffmanTable& lit, const HuffmanTable& dist);
  bool FastCodes(const HuffmanTable& lit, const HuffmanTable& dist, bool& end_of_block);
  bool SlowSymbol(const HuffmanTable& lit, const HuffmanTable& dist);

  // The full window goes out and becomes history; what lies past its end
  // starts the next one.
  void FlushWindow() {
    io_.FlushOutput(win_, kWindow);
    if (win_ + kWindow < first_ + kInflateWindows * kWindow) {
      win_ += kWindow;
      history_ += kWindow;
    } else {
      std::memmove(first_ - kWindow, win_, pos_);
      win_ = first_;
      history_ = kWindow;
    }
    pos_ -= kWindow;
  }
  void Put(uint8_t b) {
    win_[pos_] = b;
    if (++pos_ == kWindow) FlushWindow();
  }

  DecoderIo& io_;
  uint8_t* const first_;  // the first window to fill; the history's one before it
  uint8_t* win_;          // the window being filled
  size_t pos_ = 0;        // always below kWindow between symbols
  size_t history_ = 0;    // output bytes before win_
  uint64_t bitbuf_ = 0;   // above bitcount_: zeros or the next input bits
  unsigned bitcount_ = 0;
  unsigned padding_ = 0;  // zero bits supplied past the end
};

void Inflater::Run() {
  for (;;) {
    const uint32_t header = Take(3);
    switch (header >> 1) {
      case 0: Stored(); break;
      case 1: Fixed(); break;
      case 2: Dynamic(); break;
      default: throw BadData{};
    }
    if (header & 1) return;
  }
}

void Inflater::Build(HuffmanTable& table, const uint8_t* lengths, size_t count,
                     const uint32_t* templates, unsigned root_bits, bool allow_sparse) {
  switch (table.Build(lengths, count, templates, root_bits, kMaxCodeLen, allow_sparse)) {
    case HuffmanTable::Result::kOk: return;
    case HuffmanTable::Result::kBadCode: throw BadData{};
    case HuffmanTable::Result::kNoMemory:
      io_.ShowMessage("*** inflate out of memory ***", "Error");
      throw BadData{};
  }
}

void Inflater::Stored() {
  Drop(bitcount_ & 7);
  // Bytes are about to be taken straight from the input buffer, so the
  // look-ahead beyond the counted bits must go.
  bitbuf_ = LowBits(bitbuf_, bitcount_);
  const uint32_t len = Take(16);
  const uint32_t nlen = Take(16);
  if (len != (~nlen & 0xFFFF)) throw BadData{};
  size_t left = len;
  while (left > 0 && bitcount_ >= 8) {
    Put(static_cast<uint8_t>(Take(8)));
    --left;
  }
  while (left > 0) {
    const size_t avail = io_.InputAvailable();
    if (avail == 0) {
      uint8_t b;
      if (!io_.ReadByte(b)) throw BadData{};
      Put(b);
      --left;
      continue;
    }
    const size_t n = std::min({left, avail, kWindow - pos_});
    std::memcpy(win_ + pos_, io_.InputPos(), n);
    io_.Consume(n);
    pos_ += n;
    left -= n;
    if (pos_ == kWindow) FlushWindow();
  }
}

void Inflater::Fixed() {
  uint8_t lengths[288 + 32];
  std::fill(lengths, lengths + 144, 8);
  std::fill(lengths + 144, lengths + 256, 9);
  std::fill(lengths + 256, lengths + 280, 7);
  std::fill(lengths + 280, lengths + 288, 8);
  std::fill(lengths + 288, lengths + 320, 5);
  HuffmanTable lit, dist;
  Build(lit, lengths, 288, kTemplates.litlen, kLitLenRootBits, false);
  Build(dist, lengths + 288, 32, kTemplates.dist, kDistRootBits, false);
  Codes(lit, dist);
}

void Inflater::Dynamic() {
  const unsigned hlit = Take(5) + 257;
  const unsigned hdist = Take(5) + 1;
  const unsigned hclen = Take(4) + 4;
  if (hlit > 286 || hdist > 30) throw BadData{};

  uint8_t cl_lengths[19] = {};
  for (unsigned i = 0; i < hclen; ++i) cl_lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(Take(3));
  HuffmanTable cl;
  Build(cl, cl_lengths, 19, kTemplates.codelen, 7, false);

  uint8_t lengths[286 + 30];
  const unsigned total = hlit + hdist;
  unsigned n = 0;
  while (n < total) {
    Need(7);
    const uint32_t e = cl.Lookup(bitbuf_);
    if (Kind(e) != kLiteral) throw BadData{};
    Drop(Bits(e));
    const unsigned sym = Value(e);
    if (sym < 16) {
      lengths[n++] = static_cast<uint8_t>(sym);
      continue;
    }
    uint8_t value = 0;
    unsigned repeat;
    if (sym == 16) {
      if (n == 0) throw BadData{};
      value = lengths[n - 1];
      repeat = 3 + Take(2);
    } else if (sym == 17) {
      repeat = 3 + Take(3);
    } else {
      repeat = 11 + Take(7);
    }
    if (repeat > total - n) throw BadData{};
    std::fill(lengths + n, lengths + n + repeat, value);
    n += repeat;
  }
  if (lengths[256] == 0) throw BadData{};  // a block needs its end code

  HuffmanTable lit, dist;
  Build(lit, lengths, hlit, kTemplates.litlen, kLitLenRootBits, true);
  Build(dist, lengths + hlit, hdist, kTemplates.dist, kDistRootBits, true);
  Codes(lit, dist);
}

void Inflater::Codes(const HuffmanTable& lit, const HuffmanTable& dist) {
  for (;;) {
    bool end_of_block = false;
    if (FastCodes(lit, dist, end_of_block)) {
      if (end_of_block) return;
      continue;
    }
    if (SlowSymbol(lit, dist)) return;
  }
}

// Runs the fast loop once; true when it decoded something (end_of_block set
// at the end of the block), false when the careful path must take a symbol.
bool Inflater::FastCodes(const HuffmanTable& lit, const HuffmanTable& dist, bool& end_of_block) {
  const uint8_t* const start = io_.InputPos();
  InflateCursor c{start, start + io_.InputAvailable(), win_, pos_, history_, bitbuf_, bitcount_};
  const size_t pos_before = pos_;
  const FastStop stop = InflateFast(c, lit, dist);
  io_.Consume(static_cast<size_t>(c.in - start));
  bitbuf_ = c.bitbuf;
  bitcount_ = c.bitcount;
  pos_ = c.pos;
  // A full window goes out before anything else, bad data included, as it
  // would had it been flushed the moment it filled.
  if (pos_ >= kWindow) FlushWindow();
  switch (stop) {
    case FastStop::kSlowPath: return c.in != start || c.pos != pos_before;
    case FastStop::kEndOfBlock: end_of_block = true; return true;
    case FastStop::kBadData: break;
  }
  throw BadData{};
}

// One literal, match or end code with every check; true at the end of the block.
bool Inflater::SlowSymbol(const HuffmanTable& lit, const HuffmanTable& dist) {
  // A code with its extra bits: at most 15 + 5 bits, 15 + 13 for a distance.
  Need(kMaxCodeLen + 5);
  uint32_t e = lit.Lookup(bitbuf_);
  const uint32_t kind = Kind(e);
  if (kind == kInvalid || kind == kLink) throw BadData{};
  size_t len = Value(e) + ExtraValue(bitbuf_, e);
  Drop(Bits(e));
  if (kind == kLiteral) {
    Put(static_cast<uint8_t>(Value(e)));
    return false;
  }
  if (kind == kEndOfBlock) return true;

  Need(kMaxCodeLen + 13);
  e = dist.Lookup(bitbuf_);
  if (Kind(e) != kBase) throw BadData{};
  const size_t d = Value(e) + ExtraValue(bitbuf_, e);
  Drop(Bits(e));
  if (d > pos_ + history_) throw BadData{};

  while (len-- > 0) {
    uint8_t* const at = win_ + pos_;
    *at = *(at - d);
    if (++pos_ == kWindow) FlushWindow();
  }
  return false;
}

}  // namespace

void Inflate(DecoderIo& io) {
  Inflater decoder(io);
  try {
    decoder.Run();
  } catch (const EUserCanceled&) {
    throw;
  } catch (const ECantWriteUCF&) {
    // A write that failed (a full disk) is no fault of the data: it ends the
    // run as it does for every other method, so the setup does not go on as
    // if the file had merely been damaged.
    throw;
  } catch (...) {
    // Bad data, input cut short or an output longer than its size inside a
    // block: the entry ends here and its CRC check tells the rest.
    return;
  }
  decoder.FlushRest();
}

}  // namespace qr5::archive
