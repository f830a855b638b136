// The peers the extraction benchmark measures our reader against, each doing
// an extractor's whole job on the same archive: find every entry, decompress
// it, check its CRC-32 and write its file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace qr5::bench {

// zlib in the manner of a streaming extractor: raw inflate in 32 KiB steps,
// zlib's CRC-32 over each step, each step written. Returns the bytes written.
uint64_t ZlibExtract(const std::string& archive, const std::filesystem::path& out);

// True when the benchmark was built with libdeflate.
bool HaveLibdeflate();
// libdeflate's way: the whole archive in memory, each entry decompressed in
// one call into a buffer of its full size, libdeflate's CRC-32, one write.
uint64_t LibdeflateExtract(const std::string& archive, const std::filesystem::path& out);

}  // namespace qr5::bench
