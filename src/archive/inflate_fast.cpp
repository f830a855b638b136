// The fast loop of inflate, in the manner of the fastest known decoders: a
// 64-bit bit buffer refilled without branches to at least 56 bits, so that
// one refill serves up to three literals, or a length and most distances;
// table entries that carry a symbol's value, extra bit count and total bits
// to drop, so a length or distance is taken in one step; the next entry
// looked up before the match is copied, so the copy overlaps the next
// lookup; matches copied by whole words, running a few bytes past their end
// (the window is followed by room for that, and its history lies before it,
// so no copy wraps).
#include "archive/inflate_fast.h"

#include <bit>
#include <cstring>

#include "archive/decoder.h"
#include "archive/processor.h"

namespace qr5::archive {

namespace {

using namespace hufentry;

constexpr size_t kWindow = kOutputWindow;
constexpr uint64_t kLitLenMask = (uint64_t{1} << kLitLenRootBits) - 1;
constexpr uint64_t kDistMask = (uint64_t{1} << kDistRootBits) - 1;
constexpr size_t kMaxMatch = 258;
constexpr size_t kMaxOverrun = 40;  // bytes a copy may write past its match
static_assert(kMaxMatch + kMaxOverrun <= kOutputSlack);
static_assert(kBase == 0 && (kKindMask >> 8) < 0x100, "a length or distance entry: its code length alone above the drop count");

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) {
    uint64_t r = 0;
    for (int i = 0; i < 8; ++i) r = (r << 8) | ((v >> (8 * i)) & 0xFF);
    v = r;
  }
  return v;
}

inline void Copy8(uint8_t* dst, const uint8_t* src) {
  uint64_t v;
  std::memcpy(&v, src, 8);
  std::memcpy(dst, &v, 8);
}

#if defined(__SSE2__)
inline void Copy16(uint8_t* dst, const uint8_t* src) {
  struct Bytes16 {
    uint8_t b[16];
  } v;
  std::memcpy(&v, src, 16);
  std::memcpy(dst, &v, 16);
}
#endif

// Copies a match of len bytes from dist bytes back. Words are written in
// order, and each word read holds only bytes that are final by then, so
// overlapping copies come out right; up to kMaxOverrun bytes past the match
// are scratch.
inline void CopyMatch(uint8_t* dst, size_t dist, size_t len) {
  const uint8_t* src = dst - dist;
  uint8_t* const end = dst + len;
#if defined(__SSE2__)
  if (dist >= 16) {
    // Where there are 16-byte registers: two of them cover most matches.
    do {
      Copy16(dst, src);
      Copy16(dst + 16, src + 16);
      dst += 32;
      src += 32;
    } while (dst < end);
    return;
  }
#endif
  if (dist >= 8) {
    // Five words cover most matches.
    do {
      Copy8(dst, src);
      Copy8(dst + 8, src + 8);
      Copy8(dst + 16, src + 16);
      Copy8(dst + 24, src + 24);
      Copy8(dst + 32, src + 32);
      dst += 40;
      src += 40;
    } while (dst < end);
  } else if (dist == 1) {
    // A run of one byte.
    const uint64_t v = src[0] * uint64_t{0x0101010101010101};
    do {
      std::memcpy(dst, &v, 8);
      std::memcpy(dst + 8, &v, 8);
      std::memcpy(dst + 16, &v, 8);
      std::memcpy(dst + 24, &v, 8);
      dst += 32;
    } while (dst < end);
  } else {
    // A short pattern: every word starts with dist right bytes, so words
    // step by dist.
    do {
      Copy8(dst, src);
      Copy8(dst + dist, src + dist);
      dst += 2 * dist;
      src += 2 * dist;
    } while (dst < end);
  }
}

// The low n bits of v (n below 64). BMI2 does it in one instruction, which
// the compiler does not find by itself; inline assembly needs no target
// option, so only the BMI2 build of the loop asks for it.
template <bool kBmi2>
inline uint64_t LowBits(uint64_t v, uint32_t n) {
#if defined(__x86_64__) && defined(__GNUC__)
  if constexpr (kBmi2) {
    uint64_t r;
    asm("bzhi %2, %1, %0" : "=r"(r) : "r"(v), "r"(uint64_t{n}));
    return r;
  }
#endif
  return v & ((uint64_t{1} << n) - 1);
}

// The loop itself, compiled twice: for the baseline and with BMI2.
//
// Bit budget: a refill leaves 56 to 63 counted bits, and all 64 bits of the
// buffer are input, so a lookup may use bits that are not counted yet. Up to
// three first-level literals (3 x 11 bits) and the next lookup fit one
// refill; so do a length (at most 20 bits with its extra bits) after two
// literals, and then the distance (at most 28 bits) after the refill that
// is made when fewer bits are left than it and the next lookup need.
template <bool kBmi2>
__attribute__((always_inline)) inline FastStop Loop(InflateCursor& c, const HuffmanTable& lit,
                                                    const HuffmanTable& dist) {
  const uint32_t* const lt = lit.Entries();
  const uint32_t* const dt = dist.Entries();
  const uint8_t* in = c.in;
  const uint8_t* const in_limit = c.in_end - kFastInputMargin;
  uint8_t* const window = c.window;
  uint8_t* op = window + c.pos;
  uint8_t* const op_limit = window + kWindow;
  const uint8_t* const lowest = window - c.history;
  uint64_t bb = c.bitbuf;
  // The low byte counts the bits; the bits above it are scratch, so that a
  // whole entry can be taken off without masking its drop count.
  uint32_t bc = c.bitcount;
  FastStop stop = FastStop::kSlowPath;

  // Tops the buffer up to 56..63 counted bits. The bits above the count are
  // the input's next bits too, so a refill leaves the low bits as they are
  // and a looked-up entry stays valid across it.
#define QR5_REFILL()                          \
  do {                                        \
    bb |= Load64(in) << static_cast<uint8_t>(bc); \
    in += 7 - ((bc >> 3) & 7);                \
    bc |= 56;                                 \
  } while (0)
#define QR5_TAKE(entry)                      \
  do {                                       \
    bb >>= static_cast<uint8_t>(entry);      \
    bc -= (entry);                           \
  } while (0)
  // The extra bits of a length or distance entry (whose kind bits are 0,
  // so the byte above the drop count is the code length).
#define QR5_EXTRA(bits, entry) \
  static_cast<uint32_t>(LowBits<kBmi2>((bits), static_cast<uint8_t>(entry)) >> static_cast<uint8_t>((entry) >> 8))

  QR5_REFILL();
  uint32_t e = lt[bb & kLitLenMask];
  while (in <= in_limit && op < op_limit) {
    uint64_t saved = bb;
    QR5_TAKE(e);
    if (e & kLiteral) {
      // Up to two more literals on the same refill; each next entry is
      // taken before it is known, as most are literals again.
      uint8_t value = static_cast<uint8_t>(Value(e));
      e = lt[bb & kLitLenMask];
      saved = bb;
      QR5_TAKE(e);
      *op++ = value;
      if (e & kLiteral) {
        value = static_cast<uint8_t>(Value(e));
        e = lt[bb & kLitLenMask];
        saved = bb;
        QR5_TAKE(e);
        *op++ = value;
        if (e & kLiteral) {
          value = static_cast<uint8_t>(Value(e));
          e = lt[bb & kLitLenMask];
          QR5_REFILL();
          *op++ = value;
          continue;
        }
      }
    }
    if (e & kExceptional) {
      if (Kind(e) != kLink) {
        stop = Kind(e) == kEndOfBlock ? FastStop::kEndOfBlock : FastStop::kBadData;
        break;
      }
      // A long code: its second-level entry counts the whole code length,
      // so the first-level bits are given back first.
      bb = saved;
      bc += e;
      e = lt[Value(e) + ((bb >> kLitLenRootBits) & ((uint32_t{1} << Width(e)) - 1))];
      saved = bb;
      QR5_TAKE(e);
      if (e & kLiteral) {
        *op++ = static_cast<uint8_t>(Value(e));
        e = lt[bb & kLitLenMask];
        QR5_REFILL();
        continue;
      }
      if (e & kExceptional) {
        stop = Kind(e) == kEndOfBlock ? FastStop::kEndOfBlock : FastStop::kBadData;
        break;
      }
    }
    // A match: its length with the extra bits the entry already took.
    const size_t len = Value(e) + QR5_EXTRA(saved, e);
    e = dt[bb & kDistMask];
    if (e & kExceptional) {
      if (Kind(e) != kLink) {
        stop = FastStop::kBadData;
        break;
      }
      if (static_cast<uint8_t>(bc) < 28 + kLitLenRootBits - 1) QR5_REFILL();
      e = dt[Value(e) + ((bb >> kDistRootBits) & ((uint32_t{1} << Width(e)) - 1))];
      if (e & kExceptional) {
        stop = FastStop::kBadData;
        break;
      }
    } else if (static_cast<uint8_t>(bc) < kDistRootBits + 13 + kLitLenRootBits - 1) {
      QR5_REFILL();
    }
    saved = bb;
    QR5_TAKE(e);
    const size_t d = Value(e) + QR5_EXTRA(saved, e);
    if (d > static_cast<size_t>(op - lowest)) {
      stop = FastStop::kBadData;
      break;
    }
    // The next symbol's entry and the refill go before the copy.
    e = lt[bb & kLitLenMask];
    QR5_REFILL();
    uint8_t* const dst = op;
    op += len;
    CopyMatch(dst, d, len);
  }
#undef QR5_REFILL
#undef QR5_TAKE
#undef QR5_EXTRA

  c.in = in;
  c.pos = static_cast<size_t>(op - window);
  c.bitbuf = bb;
  c.bitcount = bc & 0xFF;
  return stop;
}

FastStop LoopBaseline(InflateCursor& c, const HuffmanTable& lit, const HuffmanTable& dist) {
  return Loop<false>(c, lit, dist);
}

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define QR5_INFLATE_BMI2 1
// The same loop with BMI2's shifts, which take their count in any register
// and leave the flags alone.
__attribute__((target("bmi2"))) FastStop LoopBmi2(InflateCursor& c, const HuffmanTable& lit,
                                                  const HuffmanTable& dist) {
  return Loop<true>(c, lit, dist);
}
#endif

}  // namespace

FastStop InflateFast(InflateCursor& c, const HuffmanTable& lit, const HuffmanTable& dist) {
  if (static_cast<size_t>(c.in_end - c.in) < kFastInputMargin || c.pos >= kWindow) return FastStop::kSlowPath;
#ifdef QR5_INFLATE_BMI2
  if (Extensions().bmi2) return LoopBmi2(c, lit, dist);
#endif
  return LoopBaseline(c, lit, dist);
}

}  // namespace qr5::archive
