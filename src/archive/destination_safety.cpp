// DestinationIsSafe: an archive decides file names, so a hostile or broken
// one must not be able to write outside the destination folder. Refused:
// stored folders that are absolute or carry a drive or stream colon, any
// name part made only of dots and spaces (Windows reads ".. " as ".."), the
// DOS device names (COM1 to COM9 and LPT1 to LPT9 also with a superscript
// digit), which open a device instead of a file, and names with
// control characters or the characters Windows does not allow in names (a
// NUL would cut the name short at the system call).
#include <cctype>
#include <string_view>

#include "archive/path_utils.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

namespace {

bool IsDeviceName(const std::string& part) {
  std::string base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  base = LowerAscii(base);
  static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
  for (const char* device : kDevices) {
    if (base == device) return true;
  }
  if (base.size() != 4 || (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0)) return false;
  // Windows takes the superscript digits of the ANSI code page (Windows-1252
  // 0xB9, 0xB2, 0xB3) for the digits 1, 2 and 3 here: "COM\xB9" is COM1.
  const unsigned char digit = static_cast<unsigned char>(base[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool IsSafePart(const std::string& part) {
  if (part.empty() || part == ".") return true;  // "a\\b" and "a\.\b" stay where they are
  if (part.find_first_not_of(". ") == std::string::npos) return false;
  for (char c : part) {
    if (static_cast<unsigned char>(c) < 32 || std::string_view(":<>\"|?*").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return !IsDeviceName(part);
}

}  // namespace

bool TZipReader::DestinationIsSafe(const TZipHeaderInfo& entry) const {
  if (!entry.FileName.empty() && !IsSafePart(entry.FileName)) return false;
  if (!RecreateDirs || entry.Directory.empty()) return true;
  std::string folder = entry.Directory;
  if (!root_dir_.empty() && folder.size() >= root_dir_.size() &&
      AnsiSameText(folder.substr(0, root_dir_.size()), root_dir_)) {
    folder = folder.substr(root_dir_.size());
  }
  if (!folder.empty() && (folder[0] == '\\' || folder[0] == '/')) return false;
  size_t start = 0;
  while (start < folder.size()) {
    size_t end = folder.find_first_of("\\/", start);
    if (end == std::string::npos) end = folder.size();
    if (!IsSafePart(folder.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace qr5::archive
