#include "pages/path_validation.h"

#include <cstring>

#include "platform/platform.h"

namespace qr5::pages {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

void TrimBlanks(std::string& s) {
  size_t begin = 0;
  while (begin < s.size() && IsBlankOrControl(s[begin])) ++begin;
  size_t end = s.size();
  while (end > begin && IsBlankOrControl(s[end - 1])) --end;
  s = s.substr(begin, end - begin);
}

void TrimBlanksRight(std::string& s) {
  while (!s.empty() && IsBlankOrControl(s.back())) s.pop_back();
}

// The length of the character at i: 2 for a lead byte with its trail byte.
size_t CharLength(const std::string& path, size_t i) {
  return i + 1 < path.size() && platform::Sys().system->IsLeadByte(path[i]) ? 2 : 1;
}

// Collapses every run of backslashes that starts at the second character or
// later; removes one trailing backslash unless it follows a colon ("C:\").
// A trail byte 0x5C is part of its character, never a backslash.
std::string Normalise(const std::string& path) {
  size_t leading = 0;  // a run at the very start is left as it is
  while (leading < path.size() && path[leading] == '\\') ++leading;
  std::string out = path.substr(0, leading);
  bool after_backslash = leading > 0;  // out ends with a real backslash
  for (size_t i = leading; i < path.size(); i += CharLength(path, i)) {
    const size_t length = CharLength(path, i);
    const bool backslash = length == 1 && path[i] == '\\';
    if (backslash && after_backslash) continue;
    after_backslash = backslash;
    out.append(path, i, length);
  }
  if (after_backslash && !(out.size() >= 2 && out[out.size() - 2] == ':')) {
    out.pop_back();
  }
  TrimBlanksRight(out);
  return out;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool ContainsControlCharacters(const std::string& path) {
  for (char c : path) {
    if (static_cast<unsigned char>(c) <= 31) return true;
  }
  return false;
}

bool PathComponentsContainTrailingSpaces(const std::string& path) {
  for (size_t i = 0; i < path.size(); i += CharLength(path, i)) {
    if (path[i] != ' ') continue;
    const size_t next = i + 1;  // a space is one byte
    if (next == path.size() || (path[next] == '\\' && CharLength(path, next) == 1)) return true;
  }
  return false;
}

bool ContainsForbiddenCharacters(const std::string& path) {
  for (size_t i = 0; i < path.size(); i += CharLength(path, i)) {
    if (i >= 2 && CharLength(path, i) == 1 && std::strchr("/:*?\"<>|", path[i]) != nullptr &&
        path[i] != '\0')
      return true;
  }
  return false;
}

bool PathComponentsContainInvalidDots(const std::string& path) {
  size_t start = 0;
  for (;;) {
    const size_t end = path.find('\\', start);
    const std::string component =
        path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t i = 0;
    while (i < component.size() && component[i] == ' ') ++i;
    size_t dots = 0;
    while (i < component.size() && component[i] == '.') ++i, ++dots;
    while (i < component.size() && component[i] == ' ') ++i;
    if (dots > 0 && i == component.size()) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

int32_t InternalGetFileAttr(const std::string& path) {
  platform::FileSystem& fs = *platform::Sys().files;
  const uint32_t old_mode = fs.SetErrorMode(platform::SEM_FAILCRITICALERRORS);
  const uint32_t attributes = fs.GetFileAttributes(path);
  fs.SetErrorMode(old_mode);
  return static_cast<int32_t>(attributes);
}

bool DirExists(const std::string& path) {
  const int32_t attributes = InternalGetFileAttr(path);
  return attributes != -1 && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathRunsThroughFile(const std::string& path) {
  // From the drive's root down, as far as the path exists.
  for (size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
    const int32_t attributes = InternalGetFileAttr(path.substr(0, end));
    if (attributes == -1) return false;
    if ((attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0) return true;
    if (end == std::string::npos) return false;
  }
}

bool IsValidDirectory(std::string& path) {
  TrimBlanks(path);                                         // 1
  if (path.size() > kMaxTypedPathLength) return false;      // 2
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return false;  // 3
  path = Normalise(path);                                   // 4
  if (path.size() < 3) return false;                        // 5
  if (!IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\') return false;  // 6
  if (ContainsControlCharacters(path)) return false;        // 7
  if (PathComponentsContainTrailingSpaces(path)) return false;  // 8
  if (PathComponentsContainInvalidDots(path)) return false;     // 9
  if (ContainsForbiddenCharacters(path)) return false;    // 10
  if (!DirExists(path.substr(0, 2) + "\\")) return false;    // 11
  // A folder cannot be made below a file: nothing could be installed there.
  return !PathRunsThroughFile(path);
}

}  // namespace qr5::pages
