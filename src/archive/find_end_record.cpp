// FindEndRecord: the end-of-central-directory record is searched backwards
// over the last 65,557 bytes (record plus the longest comment); the hit
// nearest the end of the file wins.
#include <algorithm>
#include <vector>

#include "archive/le_bytes.h"
#include "archive/lfn_file_stream.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

bool TZipReader::FindEndRecord(TLFNFileStream& stream) {
  constexpr int64_t kMaxTail = kEndCentralSize + 65535;
  end_central_.Clear();
  int64_t size = stream.Size();
  if (size == 0) return true;  // an empty file is an archive without entries
  if (size < kEndCentralSize) return false;
  int64_t tail = std::min(kMaxTail, size);
  std::vector<uint8_t> buffer(static_cast<size_t>(tail));
  if (!stream.Seek(size - tail) || !stream.ReadExact(buffer.data(), static_cast<uint32_t>(tail))) {
    return false;
  }
  for (int64_t at = tail - kEndCentralSize; at >= 0; --at) {
    const uint8_t* p = buffer.data() + at;
    if (p[0] != 0x50 || Get32(p) != kEndCentralSignature) continue;
    end_central_.ThisDisk = Get16(p + 4);
    end_central_.CentralDisk = Get16(p + 6);
    end_central_.EntriesThisDisk = Get16(p + 8);
    end_central_.TotalEntries = Get16(p + 10);
    end_central_.CentralSize = Get32(p + 12);
    end_central_.CentralOffset = Get32(p + 16);
    end_central_.CommentLength = Get16(p + 20);
    end_central_.ZipCommentPos = static_cast<uint32_t>(size - tail + at + kEndCentralSize);
    return true;
  }
  return false;
}

}  // namespace qr5::archive
