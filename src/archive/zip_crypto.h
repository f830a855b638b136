// Traditional PKWARE encryption ("ZipCrypto"): three 32-bit keys driven by
// the password and then by every plain byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qr5::archive {

inline constexpr size_t kEncryptionHeaderSize = 12;

struct ZipKeys {
  uint32_t k0 = 0x12345678u;
  uint32_t k1 = 0x23456789u;
  uint32_t k2 = 0x34567890u;

  // Resets the keys and feeds the password's bytes through them.
  void Init(const std::string& password);
  // Mixes one plain byte into the keys.
  void Update(uint8_t plain);
  // Decrypts one byte and advances the keys.
  uint8_t DecryptByte(uint8_t c);
  // Decrypts n bytes in place.
  void Decrypt(uint8_t* p, size_t n);
};

// The byte that the last byte of a decrypted encryption header must equal:
// the high byte of the DOS time when the sizes follow the data (flag bit 3),
// else the high byte of the CRC-32.
inline uint8_t PasswordCheckByte(uint16_t bit_flags, uint32_t dos_date_time, uint32_t crc32) {
  return (bit_flags & 0x0008) ? static_cast<uint8_t>((dos_date_time >> 8) & 0xFF)
                              : static_cast<uint8_t>(crc32 >> 24);
}

}  // namespace qr5::archive
