// Test support for the decoders: an in-memory DecoderIo, a small reader of
// ZIP archives (central directory and local headers) and the test data
// manifest.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/crc32.h"
#include "archive/decoder.h"
#include "archive/le_bytes.h"
#include "archive/zip_crypto.h"
#include "archive/zip_errors.h"

namespace qr5::archive::testing {

// While set, the decoders' table allocations (new (std::nothrow)) fail.
extern std::atomic<bool> g_fail_table_allocation;

inline std::string TestDataPath(const std::string& relative) {
  return std::string(QR5_TESTDATA_DIR) + "/" + relative;
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot open " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

inline uint32_t Crc32Of(const std::vector<uint8_t>& data) {
  return ~UpdateCrc(kCrcInit, data.data(), data.size());
}

// Feeds compressed bytes from memory in blocks (32 KiB like the reader, or
// smaller to move block edges around) and collects the output. The run
// buffers are separate heap blocks of their exact sizes, so that the
// sanitizers see any access past them.
class MemoryDecoderIo : public DecoderIo {
 public:
  struct Options {
    size_t block = kInputBlock;
    // The entry's declared compressed length when it differs from the bytes
    // at hand: a larger value makes the archive end too early.
    std::optional<uint64_t> declared_size;
    std::optional<ZipKeys> keys;  // running keys for an encrypted entry
    uint16_t bit_flags = 0;
    std::optional<uint64_t> stored_compressed_size;  // io.compressed_size, header included
    // Refill number (1-based) that throws EUserCanceled; 0 = never.
    int cancel_at_refill = 0;
    // Flush number (1-based) that throws ECantWriteUCF; 0 = never.
    int fail_at_flush = 0;
  };

  MemoryDecoderIo(std::vector<uint8_t> compressed, uint64_t uncompressed, Options options)
      : data_(std::move(compressed)),
        options_(options),
        input_(new uint8_t[kInputBufferSize]),
        output_(new uint8_t[kOutputBufferSize]),
        work_(new uint8_t[kWorkAreaSize]) {
    // Stale bytes of an earlier entry, never zeros the decoder could rely on.
    std::memset(output_.get(), 0xA5, kOutputBufferSize);
    std::memset(work_.get(), 0x5A, kWorkAreaSize);
    output = output_.get();
    work = work_.get();
    remaining_ = options.declared_size.value_or(data_.size());
    bit_flags = options.bit_flags;
    compressed_size = options.stored_compressed_size.value_or(remaining_);
    uncompressed_size = uncompressed;
    in_pos_ = in_end_ = input_.get();
  }
  MemoryDecoderIo(std::vector<uint8_t> compressed, uint64_t uncompressed)
      : MemoryDecoderIo(std::move(compressed), uncompressed, Options{}) {}

  bool Refill() override {
    if (remaining_ == 0) return false;
    ++refills_;
    if (options_.cancel_at_refill == refills_) throw EUserCanceled("User canceled");
    const size_t n = static_cast<size_t>(std::min<uint64_t>(options_.block, remaining_));
    const size_t have = data_.size() - std::min(read_, data_.size());
    if (have < n) throw EFatalUnzipError("Premature end of file reached");
    std::memcpy(input_.get(), data_.data() + read_, n);
    read_ += n;
    remaining_ -= n;
    if (options_.keys) options_.keys->Decrypt(input_.get(), n);
    in_pos_ = input_.get();
    in_end_ = input_.get() + n;
    return true;
  }
  uint64_t RemainingCompressed() const override { return remaining_; }

  void FlushOutput(const uint8_t* p, size_t n) override {
    if (n == 0) return;
    ++flushes_;
    flush_sizes_.push_back(n);
    if (options_.fail_at_flush == flushes_) throw ECantWriteUCF("Cant write uncompressed file");
    if (out_.size() + n > uncompressed_size)
      throw EBiggerThanUncompressed("File is larger than uncompressed size!");
    if (p < output || p + n > output + kOutputBufferSize) {
      // Only the output buffer may be flushed; the sanitizers police reads.
      if (!(p >= input_.get() && p + n <= input_.get() + kInputBufferSize))
        throw std::logic_error("flush from outside the run buffers");
    }
    out_.insert(out_.end(), p, p + n);
  }

  void ShowMessage(const std::string& text, const std::string& caption) override {
    messages_.push_back(caption + ": " + text);
  }

  const std::vector<uint8_t>& Output() const { return out_; }
  const std::vector<size_t>& FlushSizes() const { return flush_sizes_; }
  const std::vector<std::string>& Messages() const { return messages_; }
  int Refills() const { return refills_; }

 private:
  std::vector<uint8_t> data_;
  Options options_;
  std::unique_ptr<uint8_t[]> input_, output_, work_;
  uint64_t remaining_ = 0;
  size_t read_ = 0;
  int refills_ = 0;
  int flushes_ = 0;
  std::vector<uint8_t> out_;
  std::vector<size_t> flush_sizes_;
  std::vector<std::string> messages_;
};

// Runs the decoder of a method; method 0 copies, as the reader's own copy does.
inline void RunDecoder(uint16_t method, DecoderIo& io) {
  switch (method) {
    case 0: {
      uint8_t b;
      std::vector<uint8_t> block;
      while (io.ReadByte(b)) {
        block.push_back(b);
        if (block.size() == kOutputWindow) {
          std::memcpy(io.output, block.data(), block.size());
          io.FlushOutput(io.output, block.size());
          block.clear();
        }
      }
      if (!block.empty()) {
        std::memcpy(io.output, block.data(), block.size());
        io.FlushOutput(io.output, block.size());
      }
      break;
    }
    case 1: Unshrink(io); break;
    case 2: case 3: case 4: case 5: Unreduce(io, method - 1); break;
    case 6: Explode(io); break;
    case 8: Inflate(io); break;
    default: throw std::logic_error("method not handled here");
  }
}

struct ZipEntry {
  std::string name;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dos_date_time = 0;
  uint32_t crc = 0;
  uint64_t compressed_size = 0;
  uint64_t uncompressed_size = 0;
  std::vector<uint8_t> data;  // the compressed bytes, encryption header included
};


// The entries of an archive in directory order: sizes and CRC from the
// central directory (local headers of streamed entries lack them), data
// found through the local header.
inline std::vector<ZipEntry> ReadZipEntries(const std::string& path) {
  const std::vector<uint8_t> zip = ReadFileBytes(path);
  if (zip.size() < 22) throw std::runtime_error("not a zip: " + path);
  size_t eocd = zip.size() - 22;
  // The end record whose comment ends with the file (a comment may hold a
  // false one).
  while (Get32(&zip[eocd]) != 0x06054B50u || eocd + 22 + Get16(&zip[eocd + 20]) != zip.size()) {
    if (eocd == 0) throw std::runtime_error("no end record: " + path);
    --eocd;
  }
  const unsigned count = Get16(&zip[eocd + 10]);
  size_t p = Get32(&zip[eocd + 16]);
  std::vector<ZipEntry> entries;
  for (unsigned i = 0; i < count; ++i) {
    if (p + 46 > zip.size() || Get32(&zip[p]) != 0x02014B50u) throw std::runtime_error("bad central header");
    ZipEntry e;
    e.flags = Get16(&zip[p + 8]);
    e.method = Get16(&zip[p + 10]);
    e.dos_date_time = Get32(&zip[p + 12]);
    e.crc = Get32(&zip[p + 16]);
    e.compressed_size = Get32(&zip[p + 20]);
    e.uncompressed_size = Get32(&zip[p + 24]);
    const unsigned name_len = Get16(&zip[p + 28]);
    const unsigned extra_len = Get16(&zip[p + 30]);
    const unsigned comment_len = Get16(&zip[p + 32]);
    const size_t local = Get32(&zip[p + 42]);
    e.name.assign(reinterpret_cast<const char*>(&zip[p + 46]), name_len);
    if (local + 30 > zip.size() || Get32(&zip[local]) != 0x04034B50u) throw std::runtime_error("bad local header");
    const size_t data = local + 30 + Get16(&zip[local + 26]) + Get16(&zip[local + 28]);
    if (data + e.compressed_size > zip.size()) throw std::runtime_error("data past the end");
    e.data.assign(zip.begin() + data, zip.begin() + data + e.compressed_size);
    entries.push_back(std::move(e));
    p += 46 + name_len + extra_len + comment_len;
  }
  return entries;
}

inline const ZipEntry& FindEntry(const std::vector<ZipEntry>& entries, const std::string& name) {
  for (const ZipEntry& e : entries)
    if (e.name == name) return e;
  throw std::runtime_error("no entry " + name);
}

struct DecodeResult {
  bool password_ok = true;
  std::vector<uint8_t> output;
  std::vector<std::string> messages;
};

// Decodes one entry as an extraction run would: for an encrypted entry the
// keys come from the password and must pass the check byte.
inline DecodeResult DecodeEntry(const ZipEntry& entry, const std::string& password = "",
                                size_t block = kInputBlock) {
  DecodeResult result;
  MemoryDecoderIo::Options options;
  options.block = block;
  options.bit_flags = entry.flags;
  options.stored_compressed_size = entry.compressed_size;
  std::vector<uint8_t> data = entry.data;
  if (entry.flags & 1) {
    if (data.size() < kEncryptionHeaderSize) throw std::runtime_error("short encryption header");
    ZipKeys keys;
    keys.Init(password);
    uint8_t header[kEncryptionHeaderSize];
    std::memcpy(header, data.data(), sizeof header);
    keys.Decrypt(header, sizeof header);
    if (header[11] != PasswordCheckByte(entry.flags, entry.dos_date_time, entry.crc)) {
      result.password_ok = false;
      return result;
    }
    data.erase(data.begin(), data.begin() + kEncryptionHeaderSize);
    options.keys = keys;
  }
  MemoryDecoderIo io(std::move(data), entry.uncompressed_size, options);
  RunDecoder(entry.method, io);
  result.output = io.Output();
  result.messages = io.Messages();
  return result;
}

struct ManifestRow {
  std::string archive, entry, content_file, password;
  uint16_t method = 0;
  uint16_t flags = 0;
  uint64_t compressed_size = 0, uncompressed_size = 0;
  uint32_t crc = 0;
};

inline std::vector<ManifestRow> ReadManifest() {
  std::ifstream f(TestDataPath("zip/MANIFEST.tsv"));
  if (!f) throw std::runtime_error("no manifest");
  std::vector<ManifestRow> rows;
  std::string line;
  std::getline(f, line);  // header
  while (std::getline(f, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    std::string col;
    while (std::getline(ss, col, '\t')) cols.push_back(col);
    while (cols.size() < 13) cols.emplace_back();
    ManifestRow r;
    r.archive = cols[0];
    r.entry = cols[1];
    r.method = static_cast<uint16_t>(std::stoul(cols[2]));
    r.flags = static_cast<uint16_t>(std::stoul(cols[3], nullptr, 16));
    r.compressed_size = std::stoull(cols[4]);
    r.uncompressed_size = std::stoull(cols[5]);
    r.crc = static_cast<uint32_t>(std::stoul(cols[6], nullptr, 16));
    r.content_file = cols[8];
    r.password = cols[11];
    rows.push_back(r);
  }
  return rows;
}

}  // namespace qr5::archive::testing
