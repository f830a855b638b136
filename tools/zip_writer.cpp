#include "zip_writer.h"

#include <zlib.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
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

bool Deflate(const std::string& in, std::string& out) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  out.resize(deflateBound(&z, static_cast<uLong>(in.size())) + 16);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return rc == Z_STREAM_END;
}

}  // namespace

std::string PackFolder(const std::string& stub, const std::string& folder, const std::string& out) {
  std::ifstream stub_in(stub, std::ios::binary);
  if (!stub_in) return "cannot read the stub " + stub;
  std::string stub_bytes((std::istreambuf_iterator<char>(stub_in)), std::istreambuf_iterator<char>());
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return "not a folder: " + folder;

  // (relative name, path), sorted by name so that the archive is the same
  // on every run.
  std::vector<std::pair<std::string, fs::path>> items;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    items.emplace_back(fs::relative(it->path(), folder).generic_string(), it->path());
  }
  if (ec) return "cannot list " + folder + ": " + ec.message();
  std::sort(items.begin(), items.end());
  if (items.size() > 65535) return "too many entries for a ZIP archive";

  std::ofstream zip(out, std::ios::binary | std::ios::trunc);
  if (!zip) return "cannot write " + out;
  zip.write(stub_bytes.data(), static_cast<std::streamsize>(stub_bytes.size()));
  uint64_t position = stub_bytes.size();

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

    std::string data;
    if (!is_folder) {
      std::ifstream in(item, std::ios::binary);
      if (!in) return "cannot read " + item.string();
      std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (content.size() > 0xFFFFFFFFu) return "file too large for a ZIP archive: " + item.string();
      record.uncompressed = static_cast<uint32_t>(content.size());
      record.crc = static_cast<uint32_t>(
          crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
      std::string packed;
      if (!content.empty() && Deflate(content, packed) && packed.size() < content.size()) {
        record.method = 8;
        record.version_needed = 20;
        data = std::move(packed);
      } else {
        data = std::move(content);
      }
    }
    record.compressed = static_cast<uint32_t>(data.size());
    if (position > 0xFFFFFFFFu) return "archive too large";
    record.offset = static_cast<uint32_t>(position);

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
    zip.write(local.data(), static_cast<std::streamsize>(local.size()));
    zip.write(data.data(), static_cast<std::streamsize>(data.size()));
    position += local.size() + data.size();
    records.push_back(std::move(record));
  }

  uint64_t central_start = position;
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
  zip.write(central.data(), static_cast<std::streamsize>(central.size()));
  zip.write(end.data(), static_cast<std::streamsize>(end.size()));
  zip.close();
  if (!zip) return "cannot write " + out;
  return "";
}

}  // namespace qr5::tools
