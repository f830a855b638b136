#include "archive/zip_header_info.h"

namespace qr5::archive {

uint32_t NormalizeDosDateTime(uint32_t dos_date_time) {
  uint32_t seconds2 = dos_date_time & 0x1F;
  uint32_t minutes = (dos_date_time >> 5) & 0x3F;
  uint32_t hours = (dos_date_time >> 11) & 0x1F;
  uint32_t day = (dos_date_time >> 16) & 0x1F;
  uint32_t month = (dos_date_time >> 21) & 0x0F;
  uint32_t years = (dos_date_time >> 25) & 0x7F;  // since 1980

  bool clamped = false;
  auto clamp = [&clamped](uint32_t& value, uint32_t low, uint32_t high) {
    if (value < low) { value = low; clamped = true; }
    if (value > high) { value = high; clamped = true; }
  };
  clamp(hours, 0, 23);
  clamp(minutes, 0, 59);
  clamp(seconds2, 0, 29);  // 58 seconds is the last even value below 60
  clamp(years, 0, 2099 - 1980);
  clamp(month, 1, 12);
  clamp(day, 1, 31);
  if (!clamped) return dos_date_time;
  uint32_t time = seconds2 | (minutes << 5) | (hours << 11);
  uint32_t date = day | (month << 5) | (years << 9);
  return time | (date << 16);
}

void SplitStoredName(const std::string& name, std::string& directory, std::string& file_name) {
  std::string path = name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  size_t cut = path.find_last_of("\\:");
  if (cut == std::string::npos) {
    directory.clear();
    file_name = path;
  } else {
    directory = path.substr(0, cut + 1);
    file_name = path.substr(cut + 1);
  }
}

}  // namespace qr5::archive
