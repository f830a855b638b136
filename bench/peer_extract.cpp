// The zlib and libdeflate extractions of the benchmark. Both read the central
// directory of the archive held in memory and write every entry below out.
#include "peer_extract.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#ifdef QR5_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace qr5::bench {

namespace {

uint32_t Get16(std::string_view s, size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}
uint32_t Get32(std::string_view s, size_t at) { return Get16(s, at) | Get16(s, at + 2) << 16; }

struct Entry {
  std::string name;
  uint32_t method, compressed, uncompressed, crc;
  size_t data;  // offset of the file data in the archive
};

// The archive as one buffer, as a careful whole-buffer tool takes it:
// mapped (no copy, no zeroing of a fresh buffer), or read whole where it
// cannot be mapped; empty when it cannot be read.
class WholeFile {
 public:
  explicit WholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    struct stat st {};
    if (fd < 0) return;
    if (fstat(fd, &st) == 0 && st.st_size > 0) {
      size_ = static_cast<size_t>(st.st_size);
      map_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
      if (map_ == MAP_FAILED) {
        copy_.resize(size_);
        if (pread(fd, copy_.data(), size_, 0) != static_cast<ssize_t>(size_)) copy_.clear();
      }
    }
    close(fd);
  }
  ~WholeFile() {
    if (map_ != MAP_FAILED) munmap(map_, size_);
  }
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;
  std::string_view Bytes() const {
    return map_ != MAP_FAILED ? std::string_view(static_cast<const char*>(map_), size_) : std::string_view(copy_);
  }

 private:
  void* map_ = MAP_FAILED;
  size_t size_ = 0;
  std::string copy_;
};

// Walks the central directory; folders are made, files handed to extract,
// which returns the CRC it computed over what it wrote.
uint64_t ForEachEntry(std::string_view zip, const fs::path& out,
                      const std::function<uint32_t(const Entry&, std::FILE*, uint64_t&)>& extract) {
  size_t end = zip.rfind(std::string_view("PK\x05\x06", 4));
  if (end == std::string_view::npos) return 0;
  size_t at = Get32(zip, end + 16);
  uint64_t total = 0;
  for (uint32_t i = 0; i < Get16(zip, end + 10); ++i) {
    Entry e{std::string(zip.substr(at + 46, Get16(zip, at + 28))), Get16(zip, at + 10), Get32(zip, at + 20),
            Get32(zip, at + 24), Get32(zip, at + 16), 0};
    size_t local = Get32(zip, at + 42);
    e.data = local + 30 + Get16(zip, local + 26) + Get16(zip, local + 28);
    at += 46 + e.name.size() + Get16(zip, at + 30) + Get16(zip, at + 32);
    if (e.name.back() == '/') {
      fs::create_directories(out / e.name);
      continue;
    }
    fs::create_directories((out / e.name).parent_path());
    std::FILE* f = std::fopen((out / e.name).c_str(), "wb");
    if (f == nullptr) {
      std::fprintf(stderr, "cannot write %s\n", e.name.c_str());
      continue;
    }
    uint32_t crc = extract(e, f, total);
    std::fclose(f);
    if (crc != e.crc) std::fprintf(stderr, "bad CRC in %s\n", e.name.c_str());
  }
  return total;
}

}  // namespace

uint64_t ZlibExtract(const std::string& archive, const fs::path& out) {
  const WholeFile file(archive);
  const std::string_view zip = file.Bytes();
  std::vector<unsigned char> window(32768);
  return ForEachEntry(zip, out, [&](const Entry& e, std::FILE* f, uint64_t& total) -> uint32_t {
    uLong c = crc32(0, nullptr, 0);
    if (e.method == 0) {
      c = crc32(c, reinterpret_cast<const Bytef*>(zip.data() + e.data), e.compressed);
      std::fwrite(zip.data() + e.data, 1, e.compressed, f);
      total += e.compressed;
      return static_cast<uint32_t>(c);
    }
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + e.data));
    z.avail_in = e.compressed;
    int rc = Z_OK;
    while (rc == Z_OK) {
      z.next_out = window.data();
      z.avail_out = static_cast<uInt>(window.size());
      rc = inflate(&z, Z_NO_FLUSH);
      size_t n = window.size() - z.avail_out;
      c = crc32(c, window.data(), static_cast<uInt>(n));
      std::fwrite(window.data(), 1, n, f);
      total += n;
    }
    inflateEnd(&z);
    return static_cast<uint32_t>(c);
  });
}

#ifdef QR5_HAVE_LIBDEFLATE

bool HaveLibdeflate() { return true; }

uint64_t LibdeflateExtract(const std::string& archive, const fs::path& out) {
  const WholeFile file(archive);
  const std::string_view zip = file.Bytes();
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  // One buffer for the largest entry, never cleared (the decompressor
  // writes every byte it reports).
  std::unique_ptr<unsigned char[]> buffer;
  size_t capacity = 0;
  uint64_t written = ForEachEntry(zip, out, [&](const Entry& e, std::FILE* f, uint64_t& total) -> uint32_t {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(zip.data() + e.data);
    size_t n = e.compressed;
    if (e.method != 0) {
      if (e.uncompressed > capacity) {
        capacity = e.uncompressed;
        buffer.reset(new unsigned char[capacity]);
      }
      n = 0;
      if (libdeflate_deflate_decompress(d, bytes, e.compressed, buffer.get(), e.uncompressed, &n) !=
          LIBDEFLATE_SUCCESS) {
        return ~e.crc;
      }
      bytes = buffer.get();
    }
    std::fwrite(bytes, 1, n, f);
    total += n;
    return libdeflate_crc32(0, bytes, n);
  });
  libdeflate_free_decompressor(d);
  return written;
}

#else

bool HaveLibdeflate() { return false; }
uint64_t LibdeflateExtract(const std::string&, const fs::path&) { return 0; }

#endif

}  // namespace qr5::bench
