// ScanLocalHeaders: the recovery when the central directory cannot be used.
// The directory is rebuilt from the local headers, found by searching for
// the first local header signature and then stepping from header to header.
// A place that holds no local header (a damaged signature, sizes that are
// wrong or only in a data descriptor) does not end the scan: it searches on
// for the next local header, so one damaged header costs one entry, not
// every entry behind it. The scan ends where the central directory or the
// end record begins, or at the end of the file.
#include <algorithm>

#include "archive/le_bytes.h"
#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

namespace {

constexpr int64_t kExeScanStart = 14000;  // past the executable image of a setup
constexpr int64_t kMessageInterval = 10240;
constexpr uint32_t kZip64EndSignature = 0x06064B50u;

// "PK\3\4" followed by a version whose high byte is below 10.
bool LocalHeaderCandidate(const uint8_t* p) {
  return p[0] == 0x50 && Get32(p) == kLocalHeaderSignature && p[5] < 10;
}

// The start of the central directory or of an end record.
bool StructureSignature(const uint8_t* p) {
  if (p[0] != 0x50) return false;
  const uint32_t signature = Get32(p);
  return signature == kCentralHeaderSignature || signature == kEndCentralSignature ||
         signature == kZip64EndSignature;
}

}  // namespace

bool TZipReader::ScanLocalHeaders() {
  if (scan_mode_) return false;
  scan_mode_ = true;
  soundness_.RecoveredByScan = true;
  directory_.reset();
  view_.clear();
  TLFNFileStream& stream = *stream_;
  int64_t examined_since_messages = 0;

  // The first local header candidate at or after from (also a structure
  // signature when structure_ends): its position, or -1 at the end of the
  // file; *structure tells which was found.
  const auto search = [&](int64_t from, bool structure_ends, bool* structure) -> int64_t {
    uint8_t chunk[8192 + 5];
    for (int64_t position = from;;) {
      if (!stream.Seek(position)) return -1;
      const uint32_t got = stream.Read(chunk, sizeof chunk);
      if (got < 6) return -1;
      const uint32_t usable = got - 5;  // every candidate start with its 6 bytes in the chunk
      for (uint32_t k = 0; k < usable; ++k) {
        if (structure_ends && StructureSignature(chunk + k)) {
          *structure = true;
          return position + k;
        }
        if (LocalHeaderCandidate(chunk + k)) {
          *structure = false;
          return position + k;
        }
      }
      examined_since_messages += usable;
      if (examined_since_messages >= kMessageInterval) {
        examined_since_messages = 0;
        ProcessMessages();
      }
      position += usable;
    }
  };

  bool structure = false;
  int64_t position =
      search(AnsiSameText(ExtractFileExt(zip_name_), ".EXE") ? kExeScanStart : 0, false, &structure);
  if (position < 0) return false;

  directory_ = std::make_unique<TSortedZip>();
  const int64_t size = stream.Size();
  int64_t data_start = 0;  // of the last entry read
  bool searched = true;    // position was found by a search, not by stepping
  int found = 0;
  while (position <= int64_t{UINT32_MAX}) {
    uint8_t h[kLocalHeaderSize];
    const uint32_t got = stream.Seek(position) ? stream.Read(h, sizeof h) : 0;
    if (got >= 4 && StructureSignature(h)) break;
    const bool header = got == sizeof h;
    std::string name(header ? Get16(h + 26) : 0, '\0');
    if (!header || Get32(h) != kLocalHeaderSignature || !stream.ReadExact(name.data(), Get16(h + 26))) {
      if (position == size || (position < size && position + 4 > size)) break;  // the end of the file
      ++soundness_.DamagedPlaces;
      // After a search, on past what it found. After a step: from a little
      // before, as a data descriptor without its signature is 4 bytes
      // shorter; when the entry's sizes were wrong or left to a data
      // descriptor, through its data; when they point past the end of the
      // file, from its data on. Every search starts behind the last entry,
      // and a search after a search behind the place that failed, so the
      // scan always moves on.
      int64_t from = searched ? position + 1
                     : position < size ? std::max(data_start, position - int64_t{kDataDescriptorSize})
                                       : data_start;
      position = search(from, true, &structure);
      searched = true;
      if (position < 0) position = size;
      if (structure || position >= size) break;
      continue;
    }
    auto info = std::make_unique<TZipHeaderInfo>();
    info->VersionNeeded = Get16(h + 4);
    info->BitFlags = Get16(h + 6);
    info->CompressionMethod = Get16(h + 8);
    info->DosDateTime = NormalizeDosDateTime(Get32(h + 10));
    info->Crc32 = Get32(h + 14);
    info->CompressedSize = Get32(h + 18);
    info->UncompressedSize = Get32(h + 22);
    info->LocalExtraLength = Get16(h + 28);
    info->LocalHeaderOffset = static_cast<uint32_t>(position);
    info->CentralHeaderOffset = 0;
    SplitStoredName(platform::Sys().system->OemToAnsi(name), info->Directory, info->FileName);
    info->FileNameLength = static_cast<uint16_t>(info->Directory.size() + info->FileName.size());
    data_start = position + kLocalHeaderSize + int64_t(name.size()) + info->LocalExtraLength;
    const int64_t next =
        data_start + info->CompressedSize + ((info->BitFlags & 0x0008) ? kDataDescriptorSize : 0);
    directory_->Insert(std::move(info));
    ++found;
    searched = false;
    position = next;
  }
  position = std::clamp<int64_t>(position, 0, UINT32_MAX);
  stream.Seek(position);

  end_central_.Clear();
  end_central_.CentralOffset = static_cast<uint32_t>(position);
  end_central_.TotalEntries = static_cast<uint16_t>(std::min(found, 65535));
  multi_disk_mode_ = TMultiDiskMode::mmNone;
  return true;
}

}  // namespace qr5::archive
