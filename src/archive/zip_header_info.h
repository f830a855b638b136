// The in-memory records of an archive: one TZipHeaderInfo per entry and the
// end-of-central-directory record, plus the DOS date-time normalisation that
// both reading and extraction apply.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qr5::archive {

inline constexpr uint32_t kCentralHeaderSignature = 0x02014B50u;
inline constexpr uint32_t kLocalHeaderSignature = 0x04034B50u;
inline constexpr uint32_t kEndCentralSignature = 0x06054B50u;
inline constexpr uint32_t kCentralHeaderSize = 46;
inline constexpr uint32_t kLocalHeaderSize = 30;
inline constexpr uint32_t kEndCentralSize = 22;
inline constexpr uint32_t kDataDescriptorSize = 16;

// One archive entry, as the central directory (or the recovery scan) gives it.
struct TZipHeaderInfo {
  uint16_t VersionMadeBy = 20;
  uint16_t VersionNeeded = 20;
  uint16_t BitFlags = 0;
  uint16_t CompressionMethod = 8;
  uint32_t DosDateTime = 0;  // time in the low word, date in the high word
  uint32_t Crc32 = 0xFFFFFFFFu;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint16_t FileNameLength = 0;  // length of Directory + FileName
  uint16_t CentralExtraLength = 0;
  uint16_t LocalExtraLength = 0;  // filled by the recovery scan only
  uint16_t CommentLength = 0;
  uint16_t DiskNumberStart = 0;
  uint16_t InternalAttributes = 1;
  uint32_t ExternalAttributes = 32;
  uint32_t LocalHeaderOffset = 0;
  uint32_t CentralHeaderOffset = 0;  // 0 for an entry found by the scan
  std::string FileName;   // the part after the last "\" or ":"
  std::string Directory;  // up to and including that character, or empty
  std::optional<std::string> FileComment;  // read on demand
  bool ToProcess = false;

  bool Encrypted() const { return (BitFlags & 0x0001) != 0; }
  bool IsFolder() const { return FileName.empty(); }
  std::string StoredPath() const { return Directory + FileName; }
};

// The end-of-central-directory record.
struct TEndCentral {
  uint16_t ThisDisk = 0;
  uint16_t CentralDisk = 0;
  uint16_t EntriesThisDisk = 0;
  uint16_t TotalEntries = 0;
  uint32_t CentralSize = 0;
  uint32_t CentralOffset = 0;
  uint16_t CommentLength = 0;
  std::optional<std::string> ZipComment;
  uint32_t ZipCommentPos = 0;
  bool CommentModified = false;

  void Clear() { *this = TEndCentral(); }
};

// Clamps the fields of a DOS date-time (hour 0..23, minute 0..59, second
// 0..59, year 1980..2099, month 1..12, day 1..31). An in-range value is
// returned bit for bit; otherwise both words are rebuilt from the clamped
// fields.
uint32_t NormalizeDosDateTime(uint32_t dos_date_time);

// Takes a stored name: "/" becomes "\", and the result is split at its last
// "\" or ":" into directory (with that character) and file name.
void SplitStoredName(const std::string& name, std::string& directory, std::string& file_name);

}  // namespace qr5::archive
