// The fast loop of inflate, in the manner of the fastest known decoders: a
// 64-bit bit buffer refilled without branches to at least 56 bits, so that
// one refill serves a whole match (length code and extra bits, distance code
// and extra bits: at most 48 bits) or up to three literals; table entries
// that carry a symbol's value, extra bit count and total bits to drop, so a
// length or distance is taken in one step; the next entry looked up before
// the match is copied, so the copy overlaps the next lookup; matches copied
// by words wherever the distance allows.
//
// The window is the run's 32 KiB output buffer and its bytes after the
// current position are history that later matches may still reach (the
// window wraps), so every copy writes exactly its length, never beyond.
#include "archive/inflate_fast.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "archive/decoder.h"
#include "archive/processor.h"

namespace qr5::archive {

namespace {

using namespace hufentry;

constexpr size_t kWindow = kOutputWindow;
// Matches up to this long are copied as five words; the copy then touches
// up to kCopyRoom bytes after the match's start.
constexpr size_t kShortMatch = 40;
constexpr size_t kCopyRoom = 2 * kShortMatch;

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

inline void Copy16(uint8_t* dst, const uint8_t* src) {
  struct Bytes16 {
    uint8_t b[16];
  } v;
  std::memcpy(&v, src, 16);
  std::memcpy(dst, &v, 16);
}

// The rare copies: a match that crosses the window's end, by bytes.
inline void CopyAround(uint8_t* window, size_t& pos, size_t dist, size_t len) {
  for (size_t from = (pos - dist) & (kWindow - 1); len > 0; --len) {
    window[pos++] = window[from];
    from = (from + 1) & (kWindow - 1);
  }
}

// Copies len (at least 3) bytes from dist bytes back, writing exactly len
// bytes; source and destination may overlap. Every word read holds only
// bytes that are already final.
inline void CopyExact(uint8_t* dst, size_t dist, size_t len) {
  const uint8_t* src = dst - dist;
  if (dist >= 8) {
    if (len <= 8) {
      if (len >= 4) {
        uint32_t a, b;
        std::memcpy(&a, src, 4);
        std::memcpy(&b, src + len - 4, 4);
        std::memcpy(dst, &a, 4);
        std::memcpy(dst + len - 4, &b, 4);
      } else {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
      }
      return;
    }
    size_t i = 0;
    if (dist >= 16) {
      for (; i + 16 <= len; i += 16) Copy16(dst + i, src + i);
    }
    for (; i + 8 <= len; i += 8) Copy8(dst + i, src + i);
    // The last word ends exactly at len, writing a few bytes again with
    // their own values.
    if (i < len) Copy8(dst + len - 8, src + len - 8);
    return;
  }
  if (dist == 1) {
    const uint64_t v = src[0] * uint64_t{0x0101010101010101};
    size_t i = 0;
    for (; i + 8 <= len; i += 8) std::memcpy(dst + i, &v, 8);
    for (; i < len; ++i) dst[i] = src[0];
    return;
  }
  // A short distance repeats a pattern of dist bytes: once step (a multiple
  // of dist, at least 8) bytes are written, words can come from step back.
  const size_t step = dist * ((8 + dist - 1) / dist);
  size_t i = 0;
  for (; i < step && i < len; ++i) dst[i] = src[i];
  for (; i + 8 <= len; i += 8) Copy8(dst + i, dst + i - step);
  for (; i < len; ++i) dst[i] = dst[i - dist];
}

// The same where kCopyRoom bytes after dst lie inside the window: a short
// match at a distance of 8 or more goes as five words whatever its length,
// without a branch on it. The window bytes after the match are history, so
// the words past len are put back as they were.
inline void CopyMatch(uint8_t* dst, size_t dist, size_t len) {
  if (dist >= 8 && len <= kShortMatch) {
    const uint8_t* src = dst - dist;
    uint64_t keep[5];
    std::memcpy(keep, dst + len, sizeof keep);
    for (int k = 0; k < 5; ++k) Copy8(dst + 8 * k, src + 8 * k);
    std::memcpy(dst + len, keep, sizeof keep);
    return;
  }
  CopyExact(dst, dist, len);
}

// The loop itself, compiled twice: for the baseline and with BMI2.
__attribute__((always_inline)) inline FastStop Loop(InflateCursor& c, const HuffmanTable& lit,
                                                    const HuffmanTable& dist) {
  const uint32_t* const lt = lit.Entries();
  const uint32_t* const dt = dist.Entries();
  const unsigned lroot = lit.RootBits();
  const unsigned droot = dist.RootBits();
  const uint64_t lmask = (uint64_t{1} << lroot) - 1;
  const uint64_t dmask = (uint64_t{1} << droot) - 1;
  const uint8_t* in = c.in;
  const uint8_t* const in_limit = c.in_end - 8;  // a refill may start at or before it
  uint8_t* const out = c.window;
  size_t pos = c.pos;
  uint64_t bb = c.bitbuf;
  unsigned bc = c.bitcount;
  FastStop stop = FastStop::kSlowPath;

  // Tops the buffer up to 56..63 counted bits. The bits above the count are
  // the input's next bits too, so a refill leaves the low bits as they are
  // and a looked-up entry stays valid across it.
#define QR5_REFILL()            \
  do {                          \
    bb |= Load64(in) << bc;     \
    in += (63 - bc) >> 3;       \
    bc |= 56;                   \
  } while (0)
#define QR5_DROP(n) \
  do {              \
    bb >>= (n);     \
    bc -= (n);      \
  } while (0)

  QR5_REFILL();
  uint32_t e = lt[bb & lmask];
  do {
    uint64_t saved = bb;
    QR5_DROP(Bits(e));
    if (e & kLiteral) {
      // Up to two more literals on the same refill: 3 x 15 bits at most.
      out[pos++] = static_cast<uint8_t>(Value(e));
      e = lt[bb & lmask];
      if (e & kLiteral) {
        QR5_DROP(Bits(e));
        out[pos++] = static_cast<uint8_t>(Value(e));
        e = lt[bb & lmask];
        if (e & kLiteral) {
          QR5_DROP(Bits(e));
          out[pos++] = static_cast<uint8_t>(Value(e));
          e = lt[bb & lmask];
        }
      }
      QR5_REFILL();
      continue;
    }
    if (e & kExceptional) {
      if (Kind(e) != kLink) {
        stop = Kind(e) == kEndOfBlock ? FastStop::kEndOfBlock : FastStop::kBadData;
        break;
      }
      // A long code: its second-level entry counts the whole code length,
      // so the first-level bits are taken again with it.
      bb = saved;
      bc += lroot;
      e = lt[Value(e) + ((bb >> lroot) & ((uint32_t{1} << Width(e)) - 1))];
      saved = bb;
      QR5_DROP(Bits(e));
      if (e & kLiteral) {
        out[pos++] = static_cast<uint8_t>(Value(e));
        e = lt[bb & lmask];
        QR5_REFILL();
        continue;
      }
      if (e & kExceptional) {
        stop = Kind(e) == kEndOfBlock ? FastStop::kEndOfBlock : FastStop::kBadData;
        break;
      }
    }
    // A match: its length with the extra bits the entry already dropped.
    const size_t len = Value(e) + ExtraValue(saved, e);
    e = dt[bb & dmask];
    if (e & kExceptional) {
      if (Kind(e) != kLink) {
        stop = FastStop::kBadData;
        break;
      }
      e = dt[Value(e) + ((bb >> droot) & ((uint32_t{1} << Width(e)) - 1))];
      if (e & kExceptional) {
        stop = FastStop::kBadData;
        break;
      }
    }
    saved = bb;
    QR5_DROP(Bits(e));
    const size_t d = Value(e) + ExtraValue(saved, e);
    // The next symbol's entry and the refill go before the copy: at least
    // 16 real bits are left, more than a first-level lookup needs.
    e = lt[bb & lmask];
    QR5_REFILL();

    size_t left = len;
    if (pos + left + kCopyRoom <= kWindow && d <= pos) {
      // The common case: the source lies before the match, in this pass
      // of the window, and there is room after it.
      CopyMatch(out + pos, d, left);
      pos += left;
      continue;
    }
    if (left > kWindow - pos) {
      // The match runs past the window's end: the part that fits now, the
      // rest after the flush.
      if (d > pos && !c.wrapped) {
        stop = FastStop::kBadData;
        break;
      }
      c.pending_len = left - (kWindow - pos);
      c.pending_dist = d;
      CopyAround(out, pos, d, kWindow - pos);
      stop = FastStop::kWindowFull;
      break;
    }
    if (d > pos) {
      // The source starts in the older part of the window, before its end.
      if (!c.wrapped) {
        stop = FastStop::kBadData;
        break;
      }
      const size_t from = pos + kWindow - d;
      const size_t first = std::min(left, kWindow - from);
      std::memmove(out + pos, out + from, first);
      pos += first;
      left -= first;
    }
    if (left > 0) {
      CopyExact(out + pos, d, left);
      pos += left;
    }
    if (pos == kWindow) {
      stop = FastStop::kWindowFull;
      break;
    }
  } while (in <= in_limit && pos < kWindow - kFastWindowMargin);
#undef QR5_REFILL
#undef QR5_DROP

  c.in = in;
  c.pos = pos;
  c.bitbuf = bb;
  c.bitcount = bc;
  return stop;
}

FastStop LoopBaseline(InflateCursor& c, const HuffmanTable& lit, const HuffmanTable& dist) {
  return Loop(c, lit, dist);
}

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define QR5_INFLATE_BMI2 1
// The same loop with BMI2's shifts, which take their count in any register
// and leave the flags alone: about a tenth faster.
__attribute__((target("bmi2"))) FastStop LoopBmi2(InflateCursor& c, const HuffmanTable& lit,
                                                  const HuffmanTable& dist) {
  return Loop(c, lit, dist);
}
#endif

}  // namespace

FastStop InflateFast(InflateCursor& c, const HuffmanTable& lit, const HuffmanTable& dist) {
  if (c.pending_len > 0) {
    // The rest of a match that ran past the window's end; the window has
    // just been flushed, so it fits.
    CopyAround(c.window, c.pos, c.pending_dist, c.pending_len);
    c.pending_len = 0;
  }
  if (static_cast<size_t>(c.in_end - c.in) < kFastInputMargin || c.pos >= kWindow - kFastWindowMargin)
    return FastStop::kSlowPath;
#ifdef QR5_INFLATE_BMI2
  if (Extensions().bmi2) return LoopBmi2(c, lit, dist);
#endif
  return LoopBaseline(c, lit, dist);
}

}  // namespace qr5::archive
