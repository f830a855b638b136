#include "zip_builder.h"

#include <cstdint>
#include <random>

namespace qr5::archive::test {

namespace {

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

uint32_t Crc32Of(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

BuildEntry Stored(const std::string& name, const std::string& content) {
  BuildEntry e;
  e.name = name;
  e.data = content;
  e.plain = content;
  return e;
}

BuildEntry Packed(const std::string& name, uint16_t method, const std::string& compressed,
                  const std::string& plain) {
  BuildEntry e;
  e.name = name;
  e.method = method;
  e.data = compressed;
  e.plain = plain;
  return e;
}

std::vector<uint32_t> LocalOffsets(const std::vector<BuildEntry>& entries, size_t prefix_size) {
  std::vector<uint32_t> offsets;
  uint32_t at = static_cast<uint32_t>(prefix_size);
  for (const auto& e : entries) {
    offsets.push_back(at);
    at += static_cast<uint32_t>(30 + e.name.size() + e.local_extra.size() + e.data.size());
  }
  return offsets;
}

std::string LocalEntry(const BuildEntry& e) {
  std::string out;
  Put32(out, 0x04034B50);
  Put16(out, e.method == 0 ? 10 : 20);
  Put16(out, e.flags);
  Put16(out, e.method);
  Put32(out, e.dos_time);
  Put32(out, e.crc >= 0 ? static_cast<uint32_t>(e.crc) : Crc32Of(e.plain));
  Put32(out, static_cast<uint32_t>(e.data.size()));
  Put32(out, static_cast<uint32_t>(e.plain.size()));
  Put16(out, static_cast<uint32_t>(e.name.size()));
  Put16(out, static_cast<uint32_t>(e.local_extra.size()));
  return out + e.name + e.local_extra + e.data;
}

std::string CentralHeader(const BuildEntry& e, uint32_t local_offset) {
  std::string out;
  Put32(out, 0x02014B50);
  Put16(out, e.made_by);
  Put16(out, e.method == 0 ? 10 : 20);
  Put16(out, e.flags);
  Put16(out, e.method);
  Put32(out, e.dos_time);
  Put32(out, e.crc >= 0 ? static_cast<uint32_t>(e.crc) : Crc32Of(e.plain));
  Put32(out, e.compressed_size >= 0 ? static_cast<uint32_t>(e.compressed_size)
                                    : static_cast<uint32_t>(e.data.size()));
  Put32(out, e.uncompressed_size >= 0 ? static_cast<uint32_t>(e.uncompressed_size)
                                      : static_cast<uint32_t>(e.plain.size()));
  Put16(out, static_cast<uint32_t>(e.name.size()));
  Put16(out, static_cast<uint32_t>(e.central_extra.size()));
  Put16(out, static_cast<uint32_t>(e.comment.size()));
  Put16(out, e.disk);
  Put16(out, 0);
  Put32(out, e.external);
  Put32(out, e.local_offset >= 0 ? static_cast<uint32_t>(e.local_offset) : local_offset);
  return out + e.name + e.central_extra + e.comment;
}

std::string EndRecord(uint16_t entries, uint32_t central_size, uint32_t central_offset,
                      const std::string& comment) {
  std::string out;
  Put32(out, 0x06054B50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, entries);
  Put16(out, entries);
  Put32(out, central_size);
  Put32(out, central_offset);
  Put16(out, static_cast<uint32_t>(comment.size()));
  return out + comment;
}

std::string BuildZip(const std::vector<BuildEntry>& entries, const BuildOptions& options) {
  std::string out = options.prefix;
  const uint32_t base = options.offsets_from_file_start ? 0 : static_cast<uint32_t>(options.prefix.size());
  std::vector<uint32_t> offsets;
  for (const auto& e : entries) {
    offsets.push_back(static_cast<uint32_t>(out.size()) - base);
    out += LocalEntry(e);
  }
  uint32_t central_start = static_cast<uint32_t>(out.size()) - base;
  std::vector<size_t> order;
  for (int k : options.central_order) order.push_back(static_cast<size_t>(k));
  if (order.empty()) {
    for (size_t i = 0; i < entries.size(); ++i) order.push_back(i);
  }
  std::string central;
  for (size_t i : order) central += CentralHeader(entries[i], offsets[i]);
  if (options.write_central) out += central;
  if (options.write_end) {
    uint16_t count = static_cast<uint16_t>(options.total_entries >= 0 ? options.total_entries
                                                                      : static_cast<int64_t>(entries.size()));
    out += EndRecord(count, static_cast<uint32_t>(central.size()),
                     options.central_offset >= 0 ? static_cast<uint32_t>(options.central_offset) : central_start,
                     options.comment);
  }
  return out;
}

std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

namespace {
uint32_t Get16(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}
uint32_t Get32(const std::string& s, size_t at) { return Get16(s, at) | Get16(s, at + 2) << 16; }
}  // namespace

bool FindRaw(const std::string& zip, const std::string& name, RawEntry& raw) {
  size_t end = zip.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos) return false;
  size_t at = Get32(zip, end + 16);
  for (uint32_t i = 0; i < Get16(zip, end + 10); ++i) {
    uint32_t name_length = Get16(zip, at + 28);
    if (zip.compare(at + 46, name_length, name) == 0) {
      size_t local = Get32(zip, at + 42);
      raw.flags = static_cast<uint16_t>(Get16(zip, at + 8));
      raw.method = static_cast<uint16_t>(Get16(zip, at + 10));
      raw.crc = Get32(zip, at + 16);
      raw.size = Get32(zip, at + 24);
      size_t data = local + 30 + Get16(zip, local + 26) + Get16(zip, local + 28);
      raw.data = zip.substr(data, Get32(zip, at + 20));
      return true;
    }
    at += 46 + name_length + Get16(zip, at + 30) + Get16(zip, at + 32);
  }
  return false;
}

std::string Damaged(std::string zip, Damage damage, const std::string& name) {
  const size_t end = zip.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos) return "";
  std::vector<size_t> records;
  size_t hit = SIZE_MAX;
  for (size_t at = Get32(zip, end + 16), i = 0; i < Get16(zip, end + 10); ++i) {
    const uint32_t name_length = Get16(zip, at + 28);
    if (zip.compare(at + 46, name_length, name) == 0) hit = i;
    records.push_back(at);
    at += 46 + name_length + Get16(zip, at + 30) + Get16(zip, at + 32);
  }
  if (hit == SIZE_MAX) return "";
  const size_t last = records.size() - 1;
  const size_t before = records[hit > 0 ? hit - 1 : 1], after = records[hit < last ? hit + 1 : hit - 1];
  const auto overwrite = [&zip](size_t at, const std::string& bytes) { zip.replace(at, bytes.size(), bytes); };
  std::string field;
  switch (damage) {
    case Damage::kNone: break;
    case Damage::kSharedLocalHeader:
      overwrite(records[hit] + 42, zip.substr(before + 42, 4));
      break;
    case Damage::kTwoSignatures:
      zip[Get32(zip, records[hit] + 42) + 1] = 'Q';
      zip[after + 1] = 'Q';
      break;
    case Damage::kFewerCounted:
      Put16(field, static_cast<uint32_t>(hit));
      overwrite(end + 8, field + field);
      break;
  }
  return zip;
}

}  // namespace qr5::archive::test
