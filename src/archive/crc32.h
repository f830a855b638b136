// CRC-32 as ZIP uses it: a running register that starts at 0xFFFFFFFF and is
// inverted by the caller at the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qr5::archive {

inline constexpr uint32_t kCrcInit = 0xFFFFFFFFu;

extern const uint32_t kCrcTable[256];

// Feeds n bytes into the register and returns the new register value.
uint32_t UpdateCrc(uint32_t reg, const uint8_t* p, size_t n);
// The same, one table lookup per byte: the definition the fast one is held to.
uint32_t UpdateCrcBytewise(uint32_t reg, const uint8_t* p, size_t n);

}  // namespace qr5::archive
