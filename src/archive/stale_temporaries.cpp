// The temporary files a killed run left where it was writing: only names
// that TemporaryName makes, so a user's own "~QR" files are never taken.
#include <algorithm>
#include <vector>

#include "archive/replace_destination.h"
#include "platform/platform.h"

namespace qr5::archive {

using platform::Sys;

namespace {

bool IsTemporaryName(const std::string& name) {
  if (name.size() < 8 || name.compare(0, 3, "~QR") != 0 || name.compare(name.size() - 4, 4, ".TMP") != 0) return false;
  const std::string digits = name.substr(3, name.size() - 7);
  if (digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) return false;
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int RemoveStaleTemporaries(const std::string& folder) {
  if (folder.empty()) return 0;
  platform::FileSystem& files = *Sys().files;
  const std::string base = folder.back() == '\\' ? folder : folder + "\\";
  std::vector<std::string> found_names;
  auto search = files.FindFirst(base + "~QR*.TMP", platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_READONLY);
  for (bool more = search != nullptr; more; more = search->Next()) {
    if (IsTemporaryName(search->Current().name)) found_names.push_back(search->Current().name);
  }
  search.reset();
  int left = 0;
  for (const std::string& name : found_names) {
    // Twice, as a scanner may hold a file for a moment.
    left += files.DeleteFile(base + name) || files.DeleteFile(base + name) ? 0 : 1;
  }
  return left;
}

}  // namespace qr5::archive
