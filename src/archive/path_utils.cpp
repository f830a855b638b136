#include "archive/path_utils.h"

#include <ctime>

namespace qr5::archive {

namespace {

unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  // Windows-1252 capitals: À..Þ except the multiplication sign, and Š Œ Ž Ÿ.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
  if (c == 0x9F) return 0xFF;
  return c;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool AnsiSameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

std::string ExtractFileExt(const std::string& path) {
  size_t dot = path.find_last_of(".\\:/");
  if (dot == std::string::npos || path[dot] != '.') return "";
  return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t dot = path.find_last_of(".\\:/");
  if (dot == std::string::npos || path[dot] != '.') return path + ext;
  return path.substr(0, dot) + ext;
}

std::string ExtractFilePath(const std::string& path) {
  size_t cut = path.find_last_of("\\:/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

bool DirectoryExists(const std::string& path) {
  uint32_t attributes = platform::Sys().files->GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  uint32_t attributes = platform::Sys().files->GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool ForceDirectories(const std::string& dir, uint32_t* error) {
  std::string path = dir;
  while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
  if (path.empty()) return false;
  // A drive ("C:") or a root counts as present.
  if ((path.size() == 2 && path[1] == ':') || (path.size() == 1 && IsSeparator(path[0]))) {
    return true;
  }
  if (DirectoryExists(path)) return true;
  size_t cut = path.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0) {
    std::string parent = path.substr(0, cut);
    // "\\server\share" has no parent to create.
    if (!(parent.size() >= 2 && IsSeparator(parent[0]) && IsSeparator(parent[1]) &&
          parent.find_first_of("\\/", 2) == std::string::npos)) {
      // The reason a parent could not be made is the one to tell.
      if (!ForceDirectories(parent, error)) return false;
    }
  }
  platform::FileSystem& files = *platform::Sys().files;
  if (files.CreateDirectory(path)) return true;
  const uint32_t failure = files.GetLastError();
  // Made meanwhile by another program counts as made.
  if (DirectoryExists(path)) return true;
  if (error != nullptr) *error = failure;
  return false;
}

namespace {

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;  // 1970-01-01 in 1601 units
constexpr uint64_t kTicksPerSecond = 10000000ull;

}  // namespace

platform::FileTime DosDateTimeToFileTime(uint32_t dos_date_time) {
  std::tm tm{};
  tm.tm_sec = static_cast<int>((dos_date_time & 0x1F) * 2);
  tm.tm_min = static_cast<int>((dos_date_time >> 5) & 0x3F);
  tm.tm_hour = static_cast<int>((dos_date_time >> 11) & 0x1F);
  tm.tm_mday = static_cast<int>((dos_date_time >> 16) & 0x1F);
  tm.tm_mon = static_cast<int>((dos_date_time >> 21) & 0x0F) - 1;
  tm.tm_year = static_cast<int>((dos_date_time >> 25) & 0x7F) + 80;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return 0;
  return kUnixEpochAsFileTime + static_cast<uint64_t>(t) * kTicksPerSecond;
}

uint32_t FileTimeToDosDateTime(platform::FileTime file_time) {
  if (file_time < kUnixEpochAsFileTime) return 0;
  std::time_t t = static_cast<std::time_t>((file_time - kUnixEpochAsFileTime) / kTicksPerSecond);
  const std::tm* tm = std::localtime(&t);
  if (tm == nullptr || tm->tm_year < 80) return 0;
  if (tm->tm_year > 80 + 127) return 0xFF9FBF7Du;  // 2107-12-31 23:59:58
  uint32_t time = static_cast<uint32_t>(tm->tm_sec / 2) | static_cast<uint32_t>(tm->tm_min) << 5 |
                  static_cast<uint32_t>(tm->tm_hour) << 11;
  uint32_t date = static_cast<uint32_t>(tm->tm_mday) | static_cast<uint32_t>(tm->tm_mon + 1) << 5 |
                  static_cast<uint32_t>(tm->tm_year - 80) << 9;
  return time | date << 16;
}

}  // namespace qr5::archive
