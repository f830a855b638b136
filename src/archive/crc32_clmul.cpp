// CRC-32 by carry-less multiplication (PCLMULQDQ), the folding method of
// Intel's "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ":
// four 128-bit lanes are each multiplied forward by 512 bits and folded into
// the next 64 input bytes, then into one lane, which is reduced to 128 bits
// at a time and finally to the 32-bit register by a Barrett reduction.
// The constants are the paper's, in the bit-reflected domain of ZIP's CRC.
//
// Where the processor also has VPCLMULQDQ with AVX2 (64-bit builds), eight
// lanes in 32-byte registers go first, twice the bytes per step.
//
// Only these functions are compiled for these instructions; the rest of the
// program stays baseline (i686 for Windows), and they run only where the
// processor has them (processor.h).
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

// Four lanes x1..x4 that hold the register folded up to p; n more bytes
// (a multiple of 16) follow.
QR5_CLMUL_TARGET inline uint32_t FoldRest(__m128i x1, __m128i x2, __m128i x3, __m128i x4, const uint8_t* p,
                                          size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);  // 4*128-32, 4*128+32
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);  // 128-32, 128+32
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);                // 64
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);   // mu, P
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

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

}  // namespace

QR5_CLMUL_ENTRY
uint32_t CrcFoldClmul(uint32_t reg, const uint8_t* p, size_t n) {
  return FoldRest(_mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(reg))), Load(p + 16), Load(p + 32),
                  Load(p + 48), p + 64, n - 64);
}

#if QR5_CRC_VCLMUL

namespace {

#define QR5_VCLMUL_TARGET __attribute__((target("vpclmulqdq,avx2,pclmul,sse4.1")))

QR5_VCLMUL_TARGET inline __m256i Load256(const uint8_t* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

QR5_VCLMUL_TARGET inline __m256i Fold256(__m256i x, __m256i k, __m256i next) {
  return _mm256_xor_si256(_mm256_xor_si256(_mm256_clmulepi64_epi128(x, k, 0x11), _mm256_clmulepi64_epi128(x, k, 0x00)),
                          next);
}

}  // namespace

// Eight lanes in four 32-byte registers, each carried forward by 1024 bits
// per step; then the first two registers are folded into the last two, by
// 512 bits, which leaves the four lanes of the 16-byte path.
QR5_VCLMUL_TARGET
uint32_t CrcFoldVclmul(uint32_t reg, const uint8_t* p, size_t n) {
  const __m256i k1024 = _mm256_set_epi64x(0x014a7fe880, 0x01e88ef372, 0x014a7fe880, 0x01e88ef372);  // 8*128-32, +32
  const __m256i k512 = _mm256_set_epi64x(0x01c6e41596, 0x0154442bd4, 0x01c6e41596, 0x0154442bd4);   // 4*128-32, +32
  __m256i y1 = _mm256_xor_si256(Load256(p), _mm256_zextsi128_si256(_mm_cvtsi32_si128(static_cast<int>(reg))));
  __m256i y2 = Load256(p + 32);
  __m256i y3 = Load256(p + 64);
  __m256i y4 = Load256(p + 96);
  p += 128;
  n -= 128;
  while (n >= 128) {
    y1 = Fold256(y1, k1024, Load256(p));
    y2 = Fold256(y2, k1024, Load256(p + 32));
    y3 = Fold256(y3, k1024, Load256(p + 64));
    y4 = Fold256(y4, k1024, Load256(p + 96));
    p += 128;
    n -= 128;
  }
  y3 = Fold256(y1, k512, y3);
  y4 = Fold256(y2, k512, y4);
  return FoldRest(_mm256_castsi256_si128(y3), _mm256_extracti128_si256(y3, 1), _mm256_castsi256_si128(y4),
                  _mm256_extracti128_si256(y4, 1), p, n);
}

#endif

}  // namespace qr5::archive

#endif
