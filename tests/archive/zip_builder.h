// A small ZIP writer for tests: archives with exactly the fields a case
// needs (stored or given compressed bytes, odd offsets, duplicates, comments,
// bogus records), so the reader's handling of each can be checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr5::archive::test {

uint32_t Crc32Of(const std::string& data);

struct BuildEntry {
  std::string name;
  std::string data;             // what is stored after the local header
  std::string plain;            // the uncompressed content (for CRC and size)
  uint16_t method = 0;
  uint16_t flags = 0;
  uint16_t made_by = 0x0314;    // Unix: names taken as they stand
  uint32_t dos_time = 0x58216000;  // 2024-01-01 12:00:00
  uint32_t external = 0x20;
  uint16_t disk = 0;
  // Overrides of the central record; unset: the true values.
  int64_t crc = -1;
  int64_t compressed_size = -1;
  int64_t uncompressed_size = -1;
  int64_t local_offset = -1;    // written into the central header
  std::string local_extra;      // extra field of the local header only
  std::string central_extra;
  std::string comment;
};

// A stored entry holding content.
BuildEntry Stored(const std::string& name, const std::string& content);
// An entry with precompressed bytes.
BuildEntry Packed(const std::string& name, uint16_t method, const std::string& compressed,
                  const std::string& plain);

struct BuildOptions {
  std::string prefix;              // bytes before the archive (a stub)
  bool offsets_from_file_start = true;
  std::string comment;             // archive comment
  int64_t total_entries = -1;      // override of the end record's count
  int64_t central_offset = -1;     // override of the end record's offset
  std::vector<int> central_order;  // order of the central headers; empty: as given
  bool write_central = true;
  bool write_end = true;
};

// The pieces, for layouts BuildZip does not make.
std::string LocalEntry(const BuildEntry& e);
std::string CentralHeader(const BuildEntry& e, uint32_t local_offset);
std::string EndRecord(uint16_t entries, uint32_t central_size, uint32_t central_offset,
                      const std::string& comment = "");

// Local entries in the given order, then the central directory in the same
// order, then the end record.
std::string BuildZip(const std::vector<BuildEntry>& entries, const BuildOptions& options = {});

// Offsets of each local header in the last BuildZip result layout: helper
// for tests that need to point elsewhere.
std::vector<uint32_t> LocalOffsets(const std::vector<BuildEntry>& entries, size_t prefix_size);

// The raw stored bytes of the named entry of an archive (found through its
// central directory), with the entry's facts; false when it is not there.
struct RawEntry {
  std::string data;
  uint16_t method = 0;
  uint16_t flags = 0;
  uint32_t crc = 0;
  uint32_t size = 0;
};
bool FindRaw(const std::string& zip, const std::string& name, RawEntry& raw);

// Damage done to a sound archive (one made by another tool), at the entry
// of the given stored name, as a faulty copy or a broken writer leaves it.
enum class Damage {
  kNone,
  // Its central record names the local header of the record before it (of
  // the one after it, for the first).
  kSharedLocalHeader,
  // The signatures of its local header and of the central record after it
  // (before it, for the last) are broken.
  kTwoSignatures,
  // The end record counts only the records before it.
  kFewerCounted,
};
// The damaged archive; empty when the name is not in its directory.
std::string Damaged(std::string zip, Damage damage, const std::string& name);

// A pseudo-random byte string (fixed seed).
std::string RandomBytes(size_t n, uint32_t seed);

}  // namespace qr5::archive::test
