#include "archive/replace_destination.h"

#include <algorithm>

#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "platform/platform.h"

namespace qr5::archive {

namespace {

using platform::Sys;

// Enough names for any folder a setup writes into; a folder in which none
// of them can be made is not writable anyway.
constexpr int kTemporaryNames = 1000;
// The longest path the system's ANSI file functions take.
constexpr size_t kMaxPathLength = 259;

}  // namespace

bool DestinationReplaceable(const std::string& path, bool replace_read_only, uint32_t* error) {
  platform::FileSystem& files = *Sys().files;
  *error = platform::ERROR_ACCESS_DENIED;
  const uint32_t attributes = files.GetFileAttributes(path);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & (platform::FILE_ATTRIBUTE_DIRECTORY | platform::FILE_ATTRIBUTE_HIDDEN |
                    platform::FILE_ATTRIBUTE_SYSTEM)) {
    return false;
  }
  if (attributes & platform::FILE_ATTRIBUTE_READONLY) return replace_read_only;
  // A file another program holds open cannot be replaced either.
  if (files.OpenFile(path, platform::OpenMode::kReadWrite) != nullptr) return true;
  *error = files.GetLastError();
  return false;
}

std::unique_ptr<TLFNFileStream> CreateTemporaryBeside(const std::string& path, std::string& temp_path,
                                                      uint32_t* error) {
  platform::FileSystem& files = *Sys().files;
  const std::string folder = ExtractFilePath(path);
  // A temporary path never longer than the file's own: a file whose path
  // fits the system's limit must not be refused for its temporary name.
  const size_t room = std::max(path.size(), kMaxPathLength) - folder.size();
  *error = platform::ERROR_FILE_EXISTS;
  for (int n = 0; n < kTemporaryNames; ++n) {
    const std::string candidate = folder + TemporaryName(n, room);
    if (candidate.size() == folder.size()) break;  // no names left that fit
    if (files.GetFileAttributes(candidate) != platform::INVALID_FILE_ATTRIBUTES) continue;
    auto stream = TLFNFileStream::TryOpen(candidate, platform::OpenMode::kCreateNew);
    if (stream) {
      temp_path = candidate;
      return stream;
    }
    *error = files.GetLastError();
    // Taken meanwhile: the next name. Anything else: the folder takes no
    // new file.
    if (*error != platform::ERROR_FILE_EXISTS && *error != platform::ERROR_ALREADY_EXISTS) return nullptr;
  }
  return nullptr;
}

std::string TemporaryName(int n, size_t room) {
  std::string name = "~QR" + std::to_string(n) + ".TMP";
  if (name.size() <= room) return name;
  // Short names: "~" and base-36 digits (never a device name), or one
  // character alone where only one fits.
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (room == 0) return "";
  if (room == 1) return n < 36 ? std::string(1, kDigits[n]) : "";
  name.clear();
  int rest = n;
  do {
    name.insert(name.begin(), kDigits[rest % 36]);
    rest /= 36;
  } while (rest > 0);
  name.insert(name.begin(), '~');
  return name.size() <= room ? name : "";
}

bool MoveOverDestination(const std::string& temp_path, const std::string& path, bool replace_read_only,
                         uint32_t* error) {
  platform::FileSystem& files = *Sys().files;
  const uint32_t attributes = files.GetFileAttributes(path);
  const bool read_only = attributes != platform::INVALID_FILE_ATTRIBUTES &&
                         (attributes & platform::FILE_ATTRIBUTE_READONLY) != 0;
  *error = platform::ERROR_ACCESS_DENIED;
  if (read_only) {
    if (!replace_read_only) return false;
    if (!files.SetFileAttributes(path, attributes & ~platform::FILE_ATTRIBUTE_READONLY)) {
      *error = files.GetLastError();
      return false;
    }
  }
  if (files.MoveFileReplace(temp_path, path)) return true;
  *error = files.GetLastError();
  // The attribute back on the old file; a failure here only leaves it writable.
  if (read_only) files.SetFileAttributes(path, attributes);
  return false;
}

bool DiscardTemporary(const std::string& temp_path) {
  platform::FileSystem& files = *Sys().files;
  return files.DeleteFile(temp_path) || files.DeleteFile(temp_path);
}

}  // namespace qr5::archive
