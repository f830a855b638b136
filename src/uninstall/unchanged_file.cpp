#include "uninstall/unchanged_file.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "archive/crc32.h"
#include "lang/ini_normal_form.h"
#include "platform/platform.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

constexpr uint32_t kBufferSize = 65536;
// The setup adds one LanguageFile line to a program INI; a file larger than
// its listed form by more than a path's worth of that line is not ours.
constexpr int64_t kLanguageLineRoom = 1024;

std::unique_ptr<platform::File> Open(const std::string& path) {
  return Sys().files->OpenFile(path, platform::OpenMode::kRead);
}

// Reads the file to its end in buffer-sized pieces, each given to take.
template <typename Take>
bool ReadPieces(platform::File& file, std::vector<char>& buffer, Take take) {
  for (;;) {
    uint32_t got = 0;
    if (!file.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &got)) return false;
    take(buffer.data(), got);
    if (got < buffer.size()) return true;
  }
}

}  // namespace

FileState CompareWithList(const std::string& path, const SuiteFile& entry) {
  const uint32_t attributes = Sys().files->GetFileAttributes(path);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES) {
    const uint32_t error = Sys().files->GetLastError();
    // A name too long for the folder was never installed there either.
    constexpr uint32_t kErrorFilenameExcedRange = 206;
    return error == platform::ERROR_FILE_NOT_FOUND || error == platform::ERROR_PATH_NOT_FOUND ||
                   error == platform::ERROR_INVALID_NAME || error == kErrorFilenameExcedRange
               ? FileState::kMissing
               : FileState::kUnreadable;
  }
  if (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) return FileState::kChanged;
  std::unique_ptr<platform::File> file = Open(path);
  if (!file) return FileState::kUnreadable;
  const int64_t size = file->Size();
  if (size < 0) return FileState::kUnreadable;
  const int64_t most = entry.setup_ini ? int64_t{entry.size} + kLanguageLineRoom : int64_t{entry.size};
  if (size > most || (!entry.setup_ini && size != entry.size)) return FileState::kChanged;
  std::vector<char> buffer(kBufferSize);
  uint32_t crc = archive::kCrcInit;
  std::string ini;  // small by the test above
  const bool read = ReadPieces(*file, buffer, [&](const char* data, uint32_t got) {
    if (entry.setup_ini) {
      ini.append(data, got);
    } else {
      crc = archive::UpdateCrc(crc, reinterpret_cast<const uint8_t*>(data), got);
    }
  });
  if (!read) return FileState::kUnreadable;
  if (entry.setup_ini) {
    ini = lang::IniNormalForm(ini);
    if (ini.size() != entry.size) return FileState::kChanged;
    crc = archive::UpdateCrc(archive::kCrcInit, reinterpret_cast<const uint8_t*>(ini.data()), ini.size());
  }
  return ~crc == entry.crc32 ? FileState::kUnchanged : FileState::kChanged;
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::unique_ptr<platform::File> first = Open(a);
  std::unique_ptr<platform::File> second = Open(b);
  if (!first || !second || first->Size() < 0 || first->Size() != second->Size()) return false;
  std::vector<char> mine(kBufferSize), theirs(kBufferSize);
  for (;;) {
    uint32_t got_a = 0, got_b = 0;
    if (!first->Read(mine.data(), kBufferSize, &got_a) || !second->Read(theirs.data(), kBufferSize, &got_b) ||
        got_a != got_b || !std::equal(mine.begin(), mine.begin() + got_a, theirs.begin())) {
      return false;
    }
    if (got_a < kBufferSize) return true;
  }
}

}  // namespace qr5::uninstall
