// EntryDataIsSound: an archive states where each entry's data lies and how
// large it becomes, and a hostile or broken one can lie. Refused before
// anything is written:
// - data that runs over another entry's local header, or shares its local
//   header with another entry (the overlapping "zip bomb", where every
//   entry expands the same compressed bytes again);
// - data that runs into the central directory or the end record;
// - a declared size the data cannot reach with its method (deflate makes at
//   most 1032 bytes of one; the others less), which would only announce a
//   file far larger than what can come out.
// Data that runs past the end of the file (a damaged download) is not
// refused here, although it also runs over whatever lies behind it: it ends
// the run as a premature end of file, as a cut-short archive does, so the
// user is told the setup file is damaged.
#include <algorithm>

#include "archive/lfn_file_stream.h"
#include "archive/zip_crypto.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

namespace {

// The most bytes one byte of compressed data can become, per method; 0 for
// methods that are not decoded.
uint64_t MaxExpansion(uint16_t method) {
  switch (method) {
    case 0: return 1;
    case 1: return 8192;       // a 9-bit code stands for a string of the whole table
    case 2: case 3: case 4: case 5: return 1040;  // up to 385 bytes for four bits
    case 6: return 256;        // up to 321 bytes for 17 bits, 65 for nine
    case 8: return 1032;       // 258 bytes for two bits
    default: return 0;
  }
}

}  // namespace

void TZipReader::NoteLocalHeaders() {
  local_offsets_.clear();
  local_offsets_.reserve(view_.size());
  for (const TZipHeaderInfo* entry : view_) local_offsets_.push_back(entry->LocalHeaderOffset);
  std::sort(local_offsets_.begin(), local_offsets_.end());
  archive_size_ = stream_ ? stream_->Size() : 0;
}

bool TZipReader::EntryDataIsSound(const TZipHeaderInfo& entry, int64_t data_at) const {
  const int64_t begin = entry.LocalHeaderOffset;
  const int64_t end = data_at + int64_t{entry.CompressedSize};

  const auto same = std::equal_range(local_offsets_.begin(), local_offsets_.end(), entry.LocalHeaderOffset);
  if (same.second - same.first > 1) return false;
  if (end > archive_size_) return true;
  if (same.second != local_offsets_.end() && int64_t{*same.second} < end) return false;
  if (structure_begin_ < structure_end_ && begin < structure_end_ && end > structure_begin_) return false;

  const uint64_t factor = MaxExpansion(entry.CompressionMethod);
  if (factor == 0) return true;  // not decoded: the unknown method is reported as such
  uint64_t data = entry.CompressedSize;
  if (entry.Encrypted()) data -= std::min<uint64_t>(data, kEncryptionHeaderSize);
  // Deflate needs a few bits for its block header; one byte may say "empty".
  const uint64_t slack = entry.CompressionMethod == 0 ? 0 : factor;
  return entry.UncompressedSize <= data * factor + slack;
}

}  // namespace qr5::archive
