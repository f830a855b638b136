#include "archive/zip_crypto.h"

#include "archive/crc32.h"

namespace qr5::archive {

namespace {

inline uint32_t CrcStep(uint32_t reg, uint8_t b) {
  return kCrcTable[(reg ^ b) & 0xFF] ^ (reg >> 8);
}

}  // namespace

void ZipKeys::Init(const std::string& password) {
  k0 = 0x12345678u;
  k1 = 0x23456789u;
  k2 = 0x34567890u;
  for (char c : password) Update(static_cast<uint8_t>(c));
}

void ZipKeys::Update(uint8_t plain) {
  k0 = CrcStep(k0, plain);
  k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
  k2 = CrcStep(k2, static_cast<uint8_t>(k1 >> 24));
}

uint8_t ZipKeys::DecryptByte(uint8_t c) {
  // Unsigned 32-bit product: the 16-bit operands would overflow int.
  const uint32_t temp = (k2 | 2) & 0xFFFFu;
  const uint8_t plain = c ^ static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
  Update(plain);
  return plain;
}

void ZipKeys::Decrypt(uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = DecryptByte(p[i]);
}

}  // namespace qr5::archive
