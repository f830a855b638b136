// ScanLocalHeaders: the recovery when the central directory cannot be used.
// The directory is rebuilt from the local headers, found by searching for
// the first local header signature and then stepping from header to header.
#include <algorithm>
#include <cstring>

#include "archive/le_bytes.h"
#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

namespace {

constexpr int64_t kExeScanStart = 14000;  // past the executable image of a setup
constexpr int64_t kMessageInterval = 10240;

}  // namespace

bool TZipReader::ScanLocalHeaders() {
  if (scan_mode_) return false;
  scan_mode_ = true;
  directory_.reset();
  view_.clear();
  TLFNFileStream& stream = *stream_;

  // Find the first "PK\3\4" followed by a plausible version (high byte < 10).
  int64_t position = AnsiSameText(ExtractFileExt(zip_name_), ".EXE") ? kExeScanStart : 0;
  int64_t examined_since_messages = 0;
  int64_t header_start = -1;
  uint8_t chunk[8192 + 5];
  while (header_start < 0) {
    if (!stream.Seek(position)) return false;
    uint32_t got = stream.Read(chunk, sizeof chunk);
    if (got < 6) return false;
    uint32_t usable = got - 5;  // every candidate start with its 6 bytes in the chunk
    for (uint32_t k = 0; k < usable; ++k) {
      if (chunk[k] == 0x50 && Get32(chunk + k) == kLocalHeaderSignature && chunk[k + 5] < 10) {
        header_start = position + k;
        break;
      }
    }
    examined_since_messages += usable;
    if (examined_since_messages >= kMessageInterval) {
      examined_since_messages = 0;
      ProcessMessages();
    }
    position += usable;
  }

  directory_ = std::make_unique<TSortedZip>();
  position = header_start;
  int found = 0;
  for (;;) {
    uint8_t h[kLocalHeaderSize];
    if (position > int64_t{UINT32_MAX} || !stream.Seek(position) || !stream.ReadExact(h, sizeof h) ||
        Get32(h) != kLocalHeaderSignature) {
      break;
    }
    uint16_t name_length = Get16(h + 26);
    std::string name(name_length, '\0');
    if (!stream.ReadExact(name.data(), name_length)) break;
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
    int64_t next = position + kLocalHeaderSize + name_length + info->LocalExtraLength +
                   info->CompressedSize + ((info->BitFlags & 0x0008) ? kDataDescriptorSize : 0);
    directory_->Insert(std::move(info));
    ++found;
    position = next;
  }
  stream.Seek(position);

  end_central_.Clear();
  end_central_.CentralOffset = static_cast<uint32_t>(std::min<int64_t>(position, UINT32_MAX));
  end_central_.TotalEntries = static_cast<uint16_t>(std::min(found, 65535));
  multi_disk_mode_ = TMultiDiskMode::mmNone;
  return true;
}

}  // namespace qr5::archive
