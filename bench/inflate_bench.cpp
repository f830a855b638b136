// Throughput of Inflate against zlib's raw inflate on the same deflate
// streams: the 5 MiB entry of the shared test data and generated data
// (text and binary, fixed seed) compressed by zlib at three levels. Both
// sides stream the way an extraction does: input in 32 KiB blocks, output in
// 32 KiB pieces that are only counted. Prints MB/s of uncompressed output
// and the ratio ours/zlib (target: at least 0.9).
//
//   inflate_bench [repetitions]
#include <time.h>
#include <zlib.h>
#ifdef QR5_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/decoder.h"
#include "memory_decoder_io.h"


namespace {

using Bytes = std::vector<uint8_t>;

uint64_t ZlibInflate(const Bytes& data, uLong* crc = nullptr) {
  static uint8_t in[32768], out[32768];
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) throw std::runtime_error("inflateInit2");
  size_t read = 0;
  uint64_t produced = 0;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (z.avail_in == 0) {
      const size_t n = std::min(sizeof in, data.size() - read);
      if (n == 0) break;
      std::memcpy(in, data.data() + read, n);
      read += n;
      z.next_in = in;
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = out;
    z.avail_out = sizeof out;
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) throw std::runtime_error("zlib inflate failed");
    produced += sizeof out - z.avail_out;
    if (crc) *crc = crc32(*crc, out, static_cast<uInt>(sizeof out - z.avail_out));
  }
  inflateEnd(&z);
  return produced;
}

Bytes ZlibDeflate(const Bytes& raw, int level) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
  Bytes out(deflateBound(&z, raw.size()));
  z.next_in = const_cast<uint8_t*>(raw.data());
  z.avail_in = static_cast<uInt>(raw.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// The raw deflate data of the first entry of an archive.
Bytes FirstEntryData(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot open " + path);
  const Bytes zip((std::istreambuf_iterator<char>(f)), {});
  auto get16 = [&](size_t p) { return static_cast<size_t>(zip[p] | zip[p + 1] << 8); };
  auto get32 = [&](size_t p) { return get16(p) | get16(p + 2) << 16; };
  if (zip.size() < 30 || get32(0) != 0x04034B50u) throw std::runtime_error("no local header in " + path);
  const size_t start = 30 + get16(26) + get16(28);
  size_t size = get32(18);
  if (size == 0 || start + size > zip.size()) throw std::runtime_error("unusable first entry in " + path);
  return Bytes(zip.begin() + start, zip.begin() + start + size);
}

// Text lines from a word list with numbers, and binary records with small
// integers and runs, interleaved in 64 KiB stretches.
Bytes Generate(size_t size) {
  static const char* const kWords[] = {
      "the",    "install", "folder",  "logbook", "radio", "contact", "station", "frequency", "band",
      "mode",   "QSO",     "report",  "signal",  "call",  "sign",    "award",   "county",    "grid",
      "square", "antenna", "license", "setup",   "file",  "entry",   "record",  "database",  "engine"};
  std::mt19937 rng(20240101);
  Bytes out;
  out.reserve(size);
  while (out.size() < size) {
    const size_t stretch_end = std::min(size, out.size() + 65536);
    if ((out.size() / 65536) % 3 != 2) {
      while (out.size() < stretch_end) {
        std::string line = std::to_string(rng() % 100000) + ": ";
        const int words = 4 + rng() % 10;
        for (int w = 0; w < words; ++w) {
          line += kWords[std::min<size_t>(rng() % 27, rng() % 27)];
          line += ' ';
        }
        line += "\r\n";
        out.insert(out.end(), line.begin(), line.end());
      }
    } else {
      while (out.size() < stretch_end) {
        const uint32_t v = rng();
        if (v % 7 == 0) {
          out.insert(out.end(), 8 + v % 40, static_cast<uint8_t>(v >> 8));
        } else {
          for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>((v >> (8 * k)) & (k < 2 ? 0xFF : 0x0F)));
        }
      }
    }
  }
  out.resize(size);
  return out;
}

template <typename F>
double BestSeconds(int reps, F&& run) {
  double best = 1e30;
  for (int i = 0; i < reps; ++i) {
    timespec t0{}, t1{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t0);
    run();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t1);
    best = std::min(best, (t1.tv_sec - t0.tv_sec) + (t1.tv_nsec - t0.tv_nsec) / 1e9);
  }
  return best;
}

void Compare(const char* name, const Bytes& deflated, int reps) {
  qr5::bench::MemoryDecoderIo io;
  io.Start(deflated.data(), deflated.size());
  qr5::archive::Inflate(io);
  uLong zlib_crc = 0;
  ZlibInflate(deflated, &zlib_crc);
  if (io.Crc() != zlib_crc) {
    std::printf("%-28s MISMATCH: the outputs differ\n", name);
    return;
  }
  io.SetCheck(false);
  uint64_t ours_bytes = 0;
  const double ours = BestSeconds(reps, [&] {
    io.Start(deflated.data(), deflated.size());
    qr5::archive::Inflate(io);
    ours_bytes = io.Produced();
  });
  uint64_t zlib_bytes = 0;
  const double theirs = BestSeconds(reps, [&] { zlib_bytes = ZlibInflate(deflated); });
  if (ours_bytes != zlib_bytes) {
    std::printf("%-28s MISMATCH: ours %llu bytes, zlib %llu bytes\n", name,
                static_cast<unsigned long long>(ours_bytes), static_cast<unsigned long long>(zlib_bytes));
    return;
  }
  const double mb = static_cast<double>(ours_bytes) / 1e6;
  std::printf("%-28s %6.1f MB  ours %7.1f MB/s  zlib %7.1f (%.2f)", name, mb, mb / ours, mb / theirs, theirs / ours);
#ifdef QR5_HAVE_LIBDEFLATE
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  std::unique_ptr<uint8_t[]> whole(new uint8_t[ours_bytes]);
  bool ok = true;
  const double ld = BestSeconds(reps, [&] {
    size_t n = 0;
    ok = libdeflate_deflate_decompress(d, deflated.data(), deflated.size(), whole.get(), ours_bytes, &n) ==
             LIBDEFLATE_SUCCESS && n == ours_bytes;
  });
  libdeflate_free_decompressor(d);
  if (ok) std::printf("  libdeflate %7.1f (%.2f)", mb / ld, ld / ours);
#endif
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::printf("zlib %s, best of %d\n", zlibVersion(), reps);
  Compare("large_deflate.zip large.txt", FirstEntryData(std::string(QR5_TESTDATA_DIR) + "/zip/deflate/large_deflate.zip"),
          reps);
  const Bytes raw = Generate(32u << 20);
  for (int level : {1, 6, 9}) {
    const std::string name = "generated 32 MiB level " + std::to_string(level);
    Compare(name.c_str(), ZlibDeflate(raw, level), reps);
  }
  return 0;
}
