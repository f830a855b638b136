#include "archive/replace_destination.h"

#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "platform/platform.h"

namespace qr5::archive {

namespace {

using platform::Sys;

// Enough names for any folder a setup writes into; a folder in which none
// of them can be made is not writable anyway.
constexpr int kTemporaryNames = 1000;

}  // namespace

bool DestinationReplaceable(const std::string& path, bool replace_read_only) {
  platform::FileSystem& files = *Sys().files;
  const uint32_t attributes = files.GetFileAttributes(path);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & (platform::FILE_ATTRIBUTE_DIRECTORY | platform::FILE_ATTRIBUTE_HIDDEN |
                    platform::FILE_ATTRIBUTE_SYSTEM)) {
    return false;
  }
  if (attributes & platform::FILE_ATTRIBUTE_READONLY) return replace_read_only;
  // A file another program holds open cannot be replaced either.
  return files.OpenFile(path, platform::OpenMode::kReadWrite) != nullptr;
}

std::unique_ptr<TLFNFileStream> CreateTemporaryBeside(const std::string& path, std::string& temp_path) {
  platform::FileSystem& files = *Sys().files;
  const std::string folder = ExtractFilePath(path);
  for (int n = 0; n < kTemporaryNames; ++n) {
    const std::string candidate = folder + "~QR" + std::to_string(n) + ".TMP";
    if (files.GetFileAttributes(candidate) != platform::INVALID_FILE_ATTRIBUTES) continue;
    auto stream = TLFNFileStream::TryOpen(candidate, platform::OpenMode::kCreateAlways);
    if (!stream) return nullptr;  // the folder takes no new file
    temp_path = candidate;
    return stream;
  }
  return nullptr;
}

bool MoveOverDestination(const std::string& temp_path, const std::string& path, bool replace_read_only) {
  platform::FileSystem& files = *Sys().files;
  const uint32_t attributes = files.GetFileAttributes(path);
  const bool read_only = attributes != platform::INVALID_FILE_ATTRIBUTES &&
                         (attributes & platform::FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only) {
    if (!replace_read_only) return false;
    files.SetFileAttributes(path, attributes & ~platform::FILE_ATTRIBUTE_READONLY);
  }
  if (files.MoveFileReplace(temp_path, path)) return true;
  if (read_only) files.SetFileAttributes(path, attributes);
  return false;
}

void DiscardTemporary(const std::string& temp_path) { Sys().files->DeleteFile(temp_path); }

}  // namespace qr5::archive
