// The carry-less multiplication path of the CRC-32, where the compiler can
// build it (x86, 32 and 64 bit); it runs where processor.h says the
// processor has the instructions.
#pragma once

#include <cstddef>
#include <cstdint>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define QR5_CRC_CLMUL 1
#else
#define QR5_CRC_CLMUL 0
#endif
// The 32-byte form, in 64-bit builds only (the shipped 32-bit program stays
// without it).
#if QR5_CRC_CLMUL && defined(__x86_64__)
#define QR5_CRC_VCLMUL 1
#else
#define QR5_CRC_VCLMUL 0
#endif

namespace qr5::archive {

#if QR5_CRC_CLMUL
// The register after n bytes; n at least 64 and a multiple of 16.
uint32_t CrcFoldClmul(uint32_t reg, const uint8_t* p, size_t n);
#endif
#if QR5_CRC_VCLMUL
// The same with VPCLMULQDQ and AVX2; n at least 128 and a multiple of 16.
uint32_t CrcFoldVclmul(uint32_t reg, const uint8_t* p, size_t n);
#endif

}  // namespace qr5::archive
