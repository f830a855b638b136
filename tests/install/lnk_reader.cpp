#include "install/lnk_reader.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace qr5::test {

namespace {

constexpr uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasLinkTargetIdList = 0x01;
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasName = 0x04;
constexpr uint32_t kHasRelativePath = 0x08;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kHasIconLocation = 0x40;
constexpr uint32_t kIsUnicode = 0x80;

class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t>& data) : data_(data) {}
  bool Has(size_t n) const { return pos_ <= data_.size() && data_.size() - pos_ >= n; }
  size_t pos() const { return pos_; }
  void Skip(size_t n) { pos_ += n; }
  uint16_t U16() {
    const uint16_t v = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
  }
  uint32_t U32At(size_t at) const {
    return static_cast<uint32_t>(data_[at]) | static_cast<uint32_t>(data_[at + 1]) << 8 |
           static_cast<uint32_t>(data_[at + 2]) << 16 | static_cast<uint32_t>(data_[at + 3]) << 24;
  }
  uint32_t U32() {
    const uint32_t v = U32At(pos_);
    pos_ += 4;
    return v;
  }

 private:
  const std::vector<uint8_t>& data_;
  size_t pos_ = 0;
};

// A NUL-terminated single-byte string at an offset inside [begin, end).
std::optional<std::string> CString(const std::vector<uint8_t>& data, size_t at, size_t end) {
  std::string s;
  for (size_t i = at; i < end; ++i) {
    if (data[i] == 0) return s;
    s.push_back(static_cast<char>(data[i]));
  }
  return std::nullopt;
}

// StringData: a character count and the characters, UTF-16LE when the
// link is Unicode (only code points below 256 are expected here).
std::optional<std::string> ReadStringData(const std::vector<uint8_t>& data, Cursor& c,
                                          bool unicode) {
  if (!c.Has(2)) return std::nullopt;
  const size_t count = c.U16();
  const size_t bytes = unicode ? count * 2 : count;
  if (!c.Has(bytes)) return std::nullopt;
  std::string s;
  for (size_t i = 0; i < count; ++i) {
    if (unicode) {
      const size_t at = c.pos() + 2 * i;
      const unsigned code = data[at] | data[at + 1] << 8;
      s.push_back(static_cast<char>(code < 256 ? code : '?'));
    } else {
      s.push_back(static_cast<char>(data[c.pos() + i]));
    }
  }
  c.Skip(bytes);
  return s;
}

}  // namespace

std::optional<ShellLinkFile> ReadShellLink(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  Cursor c(data);
  if (!c.Has(76) || c.U32() != 76) return std::nullopt;
  if (std::memcmp(data.data() + 4, kLinkClsid, 16) != 0) return std::nullopt;
  c.Skip(16);
  const uint32_t flags = c.U32();
  c.Skip(76 - 24);

  ShellLinkFile link;
  if (flags & kHasLinkTargetIdList) {
    if (!c.Has(2)) return std::nullopt;
    const size_t size = c.U16();
    if (!c.Has(size)) return std::nullopt;
    c.Skip(size);
    link.has_id_list = true;
  }
  if (flags & kHasLinkInfo) {
    const size_t start = c.pos();
    if (!c.Has(28)) return std::nullopt;
    const uint32_t size = c.U32At(start);
    if (size < 28 || !c.Has(size)) return std::nullopt;
    const size_t end = start + size;
    const uint32_t info_flags = c.U32At(start + 8);
    const uint32_t base_offset = c.U32At(start + 16);
    const uint32_t suffix_offset = c.U32At(start + 24);
    if (info_flags & 1) {
      auto base = CString(data, start + base_offset, end);
      if (!base) return std::nullopt;
      link.target = *base;
    }
    if (suffix_offset != 0) {
      auto suffix = CString(data, start + suffix_offset, end);
      if (!suffix) return std::nullopt;
      link.target += *suffix;
    }
    c.Skip(size);
  }
  const bool unicode = (flags & kIsUnicode) != 0;
  const std::pair<uint32_t, std::string*> strings[] = {
      {kHasName, &link.description},        {kHasRelativePath, nullptr},
      {kHasWorkingDir, &link.working_directory}, {kHasArguments, &link.arguments},
      {kHasIconLocation, nullptr},
  };
  for (const auto& [flag, field] : strings) {
    if (!(flags & flag)) continue;
    auto s = ReadStringData(data, c, unicode);
    if (!s) return std::nullopt;
    if (field) *field = *s;
  }
  return link;
}

}  // namespace qr5::test
