// The ZIP writer of qr5pack. Each file is streamed in 64 KiB chunks through
// zlib into the archive, so memory does not grow with the files packed.
#include "zip_writer.h"

#include <zlib.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <vector>

#include "platform/sim/sim_codepage.h"

namespace qr5::tools {

namespace fs = std::filesystem;

namespace {

struct CentralRecord {
  std::string name;
  uint16_t made_by = 0;
  uint16_t version_needed = 10;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dos_time = 0;
  uint32_t crc = 0;
  uint32_t compressed = 0;
  uint32_t uncompressed = 0;
  uint32_t external = 0;
  uint32_t offset = 0;
};

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

uint32_t DosTime(std::time_t t) {
  const std::tm* tm = std::localtime(&t);
  if (tm == nullptr || tm->tm_year < 80) return (1u << 21) | (1u << 16);  // 1980-01-01
  int year = std::min(tm->tm_year - 80, 127);
  return static_cast<uint32_t>(tm->tm_sec / 2) | static_cast<uint32_t>(tm->tm_min) << 5 |
         static_cast<uint32_t>(tm->tm_hour) << 11 | static_cast<uint32_t>(tm->tm_mday) << 16 |
         static_cast<uint32_t>(tm->tm_mon + 1) << 21 | static_cast<uint32_t>(year) << 25;
}

// Code page 437 for the characters it shares exactly with Windows-1252.
bool AnsiToOem(const std::string& ansi, std::string& oem) {
  static const std::map<unsigned char, unsigned char> inverse = [] {
    std::map<unsigned char, unsigned char> map;
    std::map<unsigned char, int> uses;
    for (int b = 0x80; b < 0x100; ++b) {
      std::string a = platform::sim::OemToAnsi(std::string(1, static_cast<char>(b)));
      unsigned char c = static_cast<unsigned char>(a[0]);
      if (c >= 0x80) {
        map[c] = static_cast<unsigned char>(b);
        ++uses[c];
      }
    }
    for (auto& [c, n] : uses) {
      if (n > 1) map.erase(c);  // a look-alike, not the character itself
    }
    return map;
  }();
  oem.clear();
  for (char ch : ansi) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      oem += ch;
      continue;
    }
    auto it = inverse.find(c);
    if (it == inverse.end()) return false;
    oem += static_cast<char>(it->second);
  }
  return true;
}

// The stored name and "version made by" of a host name (UTF-8): ASCII and
// code page 437 names as MS-DOS names, which the reader converts to ANSI;
// anything else as a UTF-8 name from Unix (flag bit 11).
void EncodeName(const std::string& utf8, CentralRecord& record) {
  bool exact = false;
  std::string ansi = platform::sim::Utf8ToAnsi(utf8, &exact);
  std::string oem;
  if (exact && AnsiToOem(ansi, oem)) {
    record.name = oem;
    record.made_by = 0x0014;  // MS-DOS, 2.0
  } else {
    record.name = utf8;
    record.made_by = 0x0314;  // Unix, 2.0
    record.flags |= 0x0800;
  }
}

// The archive being written, through a 64-bit stdio stream: entries are
// written in one pass, their local headers completed once their data is
// known.
class Output {
 public:
  ~Output() {
    if (file_ != nullptr) std::fclose(file_);
  }
  bool Open(const std::string& path) { return (file_ = std::fopen(path.c_str(), "wb")) != nullptr; }
  bool Write(const void* data, size_t n) { return n == 0 || std::fwrite(data, 1, n, file_) == n; }
  bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
  uint64_t Position() { return static_cast<uint64_t>(::ftello(file_)); }
  bool Seek(uint64_t at) { return ::fseeko(file_, static_cast<off_t>(at), SEEK_SET) == 0; }
  // Ends the file at end (a stored rewrite may have left bytes beyond it)
  // and closes it.
  bool Finish(uint64_t end) {
    bool ok = std::fflush(file_) == 0 && ::ftruncate(::fileno(file_), static_cast<off_t>(end)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
  }

 private:
  std::FILE* file_ = nullptr;
};

constexpr size_t kChunk = 1 << 16;

std::string LocalHeader(const CentralRecord& record) {
  std::string local;
  Put32(local, 0x04034B50);
  Put16(local, record.version_needed);
  Put16(local, record.flags);
  Put16(local, record.method);
  Put32(local, record.dos_time);
  Put32(local, record.crc);
  Put32(local, record.compressed);
  Put32(local, record.uncompressed);
  Put16(local, static_cast<uint32_t>(record.name.size()));
  Put16(local, 0);
  local += record.name;
  return local;
}

// Deflates the open file into out in chunks; false (and nothing more
// written) as soon as the deflated data reaches size bytes, the size stored
// data would take.
bool DeflateInto(std::FILE* in, uint64_t size, Output& out, uint32_t& crc, uint64_t& written,
                 std::string& error) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
    error = "zlib cannot start";
    return false;
  }
  std::vector<unsigned char> input(kChunk), output(kChunk);
  uLong running = crc32(0, nullptr, 0);
  uint64_t read = 0;
  written = 0;
  bool smaller = true;
  int rc = Z_OK;
  while (smaller && rc != Z_STREAM_END) {
    const size_t n = std::fread(input.data(), 1, input.size(), in);
    read += n;
    running = crc32(running, input.data(), static_cast<uInt>(n));
    const int flush = n < input.size() ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = input.data();
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = output.data();
      z.avail_out = static_cast<uInt>(output.size());
      rc = deflate(&z, flush);
      const size_t have = output.size() - z.avail_out;
      written += have;
      if (written >= size) {
        smaller = false;
        break;
      }
      if (!out.Write(output.data(), have)) {
        error = "cannot write the archive";
        smaller = false;
        break;
      }
    } while (z.avail_out == 0);
    if (flush == Z_FINISH && rc != Z_STREAM_END) break;
  }
  deflateEnd(&z);
  if (!error.empty() || !smaller) return false;
  if (rc != Z_STREAM_END || read != size || std::ferror(in)) {
    error = "the file changed while it was packed";
    return false;
  }
  crc = static_cast<uint32_t>(running);
  return true;
}

// Copies the open file into out as it stands.
bool StoreInto(std::FILE* in, uint64_t size, Output& out, uint32_t& crc, std::string& error) {
  std::vector<unsigned char> input(kChunk);
  uLong running = crc32(0, nullptr, 0);
  uint64_t read = 0;
  for (size_t n; (n = std::fread(input.data(), 1, input.size(), in)) > 0;) {
    read += n;
    running = crc32(running, input.data(), static_cast<uInt>(n));
    if (!out.Write(input.data(), n)) {
      error = "cannot write the archive";
      return false;
    }
  }
  if (read != size || std::ferror(in)) {
    error = "the file changed while it was packed";
    return false;
  }
  crc = static_cast<uint32_t>(running);
  return true;
}

// Writes one file entry at the archive's position: its local header, then
// its data deflated, or stored where deflating does not make it smaller;
// the header is completed once the data is known. Memory stays a few
// chunks and zlib's state, whatever the file's size.
std::string WriteFileEntry(const fs::path& item, uint64_t size, Output& out, CentralRecord& record) {
  std::FILE* in = std::fopen(item.c_str(), "rb");
  if (in == nullptr) return "cannot read " + item.string();
  std::string error;
  const uint64_t header_at = out.Position();
  std::string header = LocalHeader(record);
  bool ok = out.Write(header);
  const uint64_t data_at = header_at + header.size();
  uint64_t compressed = 0;
  uint32_t crc = 0;
  if (ok && size > 0 && DeflateInto(in, size, out, crc, compressed, error)) {
    record.method = 8;
    record.version_needed = 20;
  } else if (ok && error.empty()) {
    // Deflating did not pay: the file's bytes as they stand, over what was
    // written.
    std::rewind(in);
    ok = out.Seek(data_at) && StoreInto(in, size, out, crc, error);
    compressed = size;
  }
  std::fclose(in);
  if (!ok && error.empty()) error = "cannot write the archive";
  if (!error.empty()) return error + ": " + item.string();
  record.crc = crc;
  record.compressed = static_cast<uint32_t>(compressed);
  record.uncompressed = static_cast<uint32_t>(size);
  const uint64_t end = data_at + compressed;
  if (!out.Seek(header_at) || !out.Write(LocalHeader(record)) || !out.Seek(end)) {
    return "cannot write the archive";
  }
  return "";
}

}  // namespace

std::string PackFolder(const std::string& stub, const std::string& folder, const std::string& out) {
  std::FILE* stub_in = std::fopen(stub.c_str(), "rb");
  if (stub_in == nullptr) return "cannot read the stub " + stub;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    std::fclose(stub_in);
    return "not a folder: " + folder;
  }

  // (relative name, path), sorted by name so that the archive is the same
  // on every run.
  std::vector<std::pair<std::string, fs::path>> items;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    items.emplace_back(fs::relative(it->path(), folder).generic_string(), it->path());
  }
  std::sort(items.begin(), items.end());
  std::string error;
  if (ec) error = "cannot list " + folder + ": " + ec.message();
  if (error.empty() && items.size() > 65535) error = "too many entries for a ZIP archive";

  Output zip;
  if (error.empty() && !zip.Open(out)) error = "cannot write " + out;
  if (error.empty()) {
    std::vector<unsigned char> chunk(kChunk);
    for (size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), stub_in)) > 0;) {
      if (!zip.Write(chunk.data(), n)) error = "cannot write " + out;
    }
    if (std::ferror(stub_in)) error = "cannot read the stub " + stub;
  }
  std::fclose(stub_in);
  if (!error.empty()) return error;

  std::vector<CentralRecord> records;
  for (const auto& [name, item] : items) {
    CentralRecord record;
    std::string relative = name;
    bool is_folder = fs::is_directory(item, ec);
    if (is_folder) relative += '/';
    EncodeName(relative, record);
    struct stat st;
    if (::stat(item.c_str(), &st) != 0) return "cannot read " + item.string();
    record.dos_time = DosTime(st.st_mtime);
    record.external = is_folder ? 0x10 : 0x20;
    if ((st.st_mode & S_IWUSR) == 0) record.external |= 0x01;
    const uint64_t position = zip.Position();
    if (position > 0xFFFFFFFFu) return "archive too large";
    record.offset = static_cast<uint32_t>(position);
    if (is_folder) {
      if (!zip.Write(LocalHeader(record))) return "cannot write " + out;
    } else {
      const uint64_t size = static_cast<uint64_t>(st.st_size);
      if (size > 0xFFFFFFFFu) return "file too large for a ZIP archive: " + item.string();
      error = WriteFileEntry(item, size, zip, record);
      if (!error.empty()) return error;
    }
    records.push_back(std::move(record));
  }

  uint64_t central_start = zip.Position();
  std::string central;
  for (const CentralRecord& r : records) {
    Put32(central, 0x02014B50);
    Put16(central, r.made_by);
    Put16(central, r.version_needed);
    Put16(central, r.flags);
    Put16(central, r.method);
    Put32(central, r.dos_time);
    Put32(central, r.crc);
    Put32(central, r.compressed);
    Put32(central, r.uncompressed);
    Put16(central, static_cast<uint32_t>(r.name.size()));
    Put16(central, 0);  // extra field
    Put16(central, 0);  // comment
    Put16(central, 0);  // disk number start
    Put16(central, 0);  // internal attributes
    Put32(central, r.external);
    Put32(central, r.offset);
    central += r.name;
  }
  if (central_start + central.size() > 0xFFFFFFFFu) return "archive too large";
  std::string end;
  Put32(end, 0x06054B50);
  Put16(end, 0);
  Put16(end, 0);
  Put16(end, static_cast<uint32_t>(records.size()));
  Put16(end, static_cast<uint32_t>(records.size()));
  Put32(end, static_cast<uint32_t>(central.size()));
  Put32(end, static_cast<uint32_t>(central_start));
  Put16(end, 0);
  if (!zip.Write(central) || !zip.Write(end) || !zip.Finish(central_start + central.size() + end.size())) {
    return "cannot write " + out;
  }
  return "";
}

}  // namespace qr5::tools
