// CRC-32 by carry-less multiplication (PCLMULQDQ), the folding method of
// Intel's "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ":
// four 128-bit lanes are each multiplied forward by 512 bits and folded into
// the next 64 input bytes, then into one lane, which is reduced to 128 bits
// at a time and finally to the 32-bit register by a Barrett reduction.
// The constants are the paper's, in the bit-reflected domain of ZIP's CRC.
//
// Only these functions are compiled for PCLMULQDQ and SSE4.1; the rest of the
// program stays baseline (i686 for Windows), and they run only where the
// processor has the instructions (processor.h).
#include "archive/crc32_clmul.h"

#if QR5_CRC_CLMUL

#include <immintrin.h>

namespace qr5::archive {

namespace {

#define QR5_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))
#if defined(__i386__)
// Windows keeps the i686 stack 4-byte aligned; the folding spills 16-byte
// registers, so the entry function aligns its own frame.
#define QR5_CLMUL_ENTRY __attribute__((target("pclmul,sse4.1"), force_align_arg_pointer))
#else
#define QR5_CLMUL_ENTRY QR5_CLMUL_TARGET
#endif

QR5_CLMUL_TARGET inline __m128i Load(const uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x carried forward by the distance of the constants k and added to next:
// the high half times the high constant, the low half times the low one.
QR5_CLMUL_TARGET inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), _mm_clmulepi64_si128(x, k, 0x00)), next);
}

}  // namespace

QR5_CLMUL_ENTRY
uint32_t CrcFoldClmul(uint32_t reg, const uint8_t* p, size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);  // 4*128+32, 4*128-32
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);  // 128+32, 128-32
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);                // 64
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);   // mu, P
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

  __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
  __m128i x2 = Load(p + 16);
  __m128i x3 = Load(p + 32);
  __m128i x4 = Load(p + 48);
  p += 64;
  n -= 64;
  while (n >= 64) {
    x1 = Fold(x1, k1k2, Load(p));
    x2 = Fold(x2, k1k2, Load(p + 16));
    x3 = Fold(x3, k1k2, Load(p + 32));
    x4 = Fold(x4, k1k2, Load(p + 48));
    p += 64;
    n -= 64;
  }
  x1 = Fold(x1, k3k4, x2);
  x1 = Fold(x1, k3k4, x3);
  x1 = Fold(x1, k3k4, x4);
  while (n >= 16) {
    x1 = Fold(x1, k3k4, Load(p));
    p += 16;
    n -= 16;
  }

  // 128 bits to 64, then to the 32-bit register.
  __m128i x2r = _mm_clmulepi64_si128(x1, k3k4, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
  x2r = _mm_srli_si128(x1, 4);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00), x2r);
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
  x1 = _mm_xor_si128(x1, t);
  return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

}  // namespace qr5::archive

#endif
