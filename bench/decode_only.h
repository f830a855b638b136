// The reader's decoding alone: every deflated entry of an archive held in
// memory, decoded and its CRC-32 computed, nothing written. Run by the host
// bench and by the Windows build's under Wine, it tells the decoder's part
// of an extraction from the file system's.
#pragma once

#include <cstdint>
#include <string>

namespace qr5::bench {

struct DecodeOnly {
  uint64_t bytes = 0;    // output of one pass
  double seconds = 0;    // best pass (wall clock: the pass makes no system calls)
  bool crc_ok = false;   // every entry's CRC-32 as its local header gives it
};

// Reads the archive whole, then decodes it `passes` times. Entries are
// walked by their local headers (sizes in the header, as the bench's
// archives are written); others than deflate are skipped.
DecodeOnly DecodeArchiveInMemory(const std::string& path, int passes);

}  // namespace qr5::bench
