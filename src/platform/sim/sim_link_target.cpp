#include "platform/sim/sim_link_target.h"

#include <cstdint>

namespace qr5::platform::sim {

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr uint32_t kHasIdList = 0x01;
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kLocalVolume = 0x01;  // LinkInfo: VolumeIDAndLocalBasePath

bool Get(const std::string& s, size_t at, size_t n, uint32_t* value) {
  if (at > s.size() || s.size() - at < n) return false;
  uint32_t v = 0;
  for (size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
  *value = v;
  return true;
}

// The zero-terminated text at offset within [begin, end).
bool CString(const std::string& s, size_t at, size_t end, std::string* text) {
  if (at >= end) return false;
  const size_t zero = s.find('\0', at);
  if (zero == std::string::npos || zero >= end) return false;
  *text = s.substr(at, zero - at);
  return true;
}

}  // namespace

std::optional<std::string> LinkTargetOf(const std::string& link) {
  uint32_t header = 0, flags = 0;
  if (!Get(link, 0, 4, &header) || header != kHeaderSize || !Get(link, 0x14, 4, &flags)) {
    return std::nullopt;
  }
  size_t at = kHeaderSize;
  if (flags & kHasIdList) {
    uint32_t id_list_size = 0;
    if (!Get(link, at, 2, &id_list_size)) return std::nullopt;
    at += 2 + id_list_size;
  }
  if ((flags & kHasLinkInfo) == 0) return std::nullopt;
  uint32_t info_size = 0, info_flags = 0, base = 0, suffix = 0;
  if (!Get(link, at, 4, &info_size) || !Get(link, at + 8, 4, &info_flags) ||
      !Get(link, at + 16, 4, &base) || !Get(link, at + 24, 4, &suffix)) {
    return std::nullopt;
  }
  if ((info_flags & kLocalVolume) == 0 || info_size > link.size() - at) return std::nullopt;
  const size_t end = at + info_size;
  std::string base_path, common_suffix;
  if (!CString(link, at + base, end, &base_path)) return std::nullopt;
  if (suffix != 0 && !CString(link, at + suffix, end, &common_suffix)) return std::nullopt;
  return base_path + common_suffix;
}

}  // namespace qr5::platform::sim
