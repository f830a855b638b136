// Method 6, "imploded": a sliding dictionary of 4 or 8 KiB with matches and
// literals coded by two or three Shannon-Fano trees (APPNOTE). Read with their
// bits inverted the Shannon-Fano codes are canonical prefix codes, so the
// trees decode through the same two-level tables as inflate. The sliding
// window is the 32 KiB output buffer.
#include <cstring>

#include "archive/bit_reader.h"
#include "archive/decoder.h"
#include "archive/huffman_table.h"

namespace qr5::archive {

namespace {

constexpr size_t kWindowMask = kOutputWindow - 1;
constexpr unsigned kMaxCodeLen = 16;
constexpr uint64_t kLargeEntry = 200000;  // wider distance table above this compressed size

struct NoMemory {};

class Exploder {
 public:
  explicit Exploder(DecoderIo& io) : io_(io), in_(io), out_(io.output) {}

  void Run();
  void FlushRest() {
    if (pos_ != 0) io_.FlushOutput(out_, pos_);
    pos_ = 0;
  }

 private:
  void ReadTree(HuffmanTable& table, unsigned symbols, unsigned root_bits);
  unsigned Decode(const HuffmanTable& table) {
    const uint32_t e = table.Lookup(~in_.Window(kMaxCodeLen));
    if (hufentry::Kind(e) != hufentry::kLiteral) throw CorruptData{};
    in_.Skip(hufentry::Bits(e));
    return hufentry::Value(e);
  }
  void Put(uint8_t b) {
    out_[pos_] = b;
    ++produced_;
    if (++pos_ == kOutputWindow) FlushRest();
  }

  DecoderIo& io_;
  BitReader in_;
  uint8_t* out_;
  size_t pos_ = 0;
  uint64_t produced_ = 0;
};

// A tree comes as a byte count less one, then bytes that each give a code
// length less one (low nibble) for a run of symbols (high nibble, less one).
void Exploder::ReadTree(HuffmanTable& table, unsigned symbols, unsigned root_bits) {
  uint8_t lengths[256];
  const unsigned bytes = in_.Read(8) + 1;
  unsigned n = 0;
  for (unsigned i = 0; i < bytes; ++i) {
    const unsigned b = in_.Read(8);
    const unsigned len = (b & 0x0F) + 1;
    const unsigned run = (b >> 4) + 1;
    if (n + run > symbols) throw CorruptData{};
    for (unsigned k = 0; k < run; ++k) lengths[n++] = static_cast<uint8_t>(len);
  }
  if (n != symbols) throw CorruptData{};

  uint32_t templates[256];
  for (unsigned s = 0; s < symbols; ++s) templates[s] = hufentry::Make(hufentry::kLiteral, s);
  switch (table.Build(lengths, symbols, templates, root_bits, kMaxCodeLen, false)) {
    case HuffmanTable::Result::kOk: return;
    case HuffmanTable::Result::kBadCode: throw CorruptData{};
    case HuffmanTable::Result::kNoMemory: throw NoMemory{};
  }
}

void Exploder::Run() {
  const bool large_window = (io_.bit_flags & 0x02) != 0;
  const bool literal_tree = (io_.bit_flags & 0x04) != 0;
  const unsigned low_bits = large_window ? 7 : 6;
  const unsigned min_match = literal_tree ? 3 : 2;

  HuffmanTable literals, lengths, distances;
  if (literal_tree) ReadTree(literals, 256, 9);
  ReadTree(lengths, 64, 7);
  ReadTree(distances, 64, io_.compressed_size > kLargeEntry ? 8 : 7);

  // A copy reaching back before the first byte finds these zeros.
  std::memset(out_, 0, kOutputWindow);

  const uint64_t size = io_.uncompressed_size;
  while (produced_ < size) {
    if (in_.Read(1)) {
      Put(static_cast<uint8_t>(literal_tree ? Decode(literals) : in_.Read(8)));
      continue;
    }
    const unsigned low = in_.Read(low_bits);
    const unsigned distance = ((Decode(distances) << low_bits) | low) + 1;
    unsigned length = Decode(lengths);
    if (length == 63) length += in_.Read(8);
    length += min_match;
    // Byte by byte: a match may overlap the bytes it produces.
    size_t from = (pos_ - distance) & kWindowMask;
    while (length-- > 0) {
      Put(out_[from]);
      from = (from + 1) & kWindowMask;
    }
  }
}

}  // namespace

void Explode(DecoderIo& io) {
  Exploder decoder(io);
  try {
    decoder.Run();
  } catch (const CorruptData&) {
    // Ends the entry; its CRC check tells the rest.
  } catch (const NoMemory&) {
    io.ShowMessage("*** inflate out of memory ***", "Error");
    return;
  }
  decoder.FlushRest();
}

}  // namespace qr5::archive
