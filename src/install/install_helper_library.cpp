#include "install/install_helper_library.h"

#include "archive/replace_destination.h"
#include "install/install_outcome.h"
#include "lang/strip_trailing_backslash.h"
#include "platform/platform.h"

namespace qr5::install {

namespace {

// As many names as the suite's files may take beside it.
constexpr int kTemporaryNames = 1000;
constexpr size_t kNameRoom = 12;  // "~QR999.TMP" and shorter

// Copies source to a new temporary name beside target, never over a file
// that is there; "" with *error when none can be made.
std::string CopyToTemporary(const std::string& source, const std::string& target, uint32_t* error) {
  platform::FileSystem& files = *platform::Sys().files;
  const std::string folder = target.substr(0, target.rfind('\\') + 1);
  for (int n = 0; n < kTemporaryNames; ++n) {
    const std::string candidate = folder + archive::TemporaryName(n, kNameRoom);
    if (files.CopyFile(source, candidate, /*fail_if_exists=*/true)) return candidate;
    *error = files.GetLastError();
    if (*error != platform::ERROR_FILE_EXISTS && *error != platform::ERROR_ALREADY_EXISTS) {
      // A copy cut short by a full disk may have left a part.
      if (files.GetFileAttributes(candidate) != platform::INVALID_FILE_ATTRIBUTES) archive::DiscardTemporary(candidate);
      return "";
    }
  }
  return "";
}

}  // namespace

// Written as the suite's files are: under a temporary name, then moved over
// the earlier copy, which stays whole when anything fails; a failure is
// counted as a file not installed. An earlier read-only copy is kept, as
// the suite's read-only files are.
void InstallHelperLibrary(const std::string& setup_dir, const std::string& install_dir) {
  auto& files = *platform::Sys().files;
  const std::string source = setup_dir + "KAVO5.DLL";
  const uint32_t attributes = files.GetFileAttributes(source);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES ||
      (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return;  // a setup without the library beside it installs none
  }
  const std::string target = lang::StripTrailingBackslash(install_dir) + "\\KAVO5.DLL";
  const uint32_t old = files.GetFileAttributes(target);
  if (old != platform::INVALID_FILE_ATTRIBUTES && (old & platform::FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (old & platform::FILE_ATTRIBUTE_READONLY) != 0) {
    return;
  }
  uint32_t error = 0;
  if (!archive::DestinationReplaceable(target, false, &error)) return NoteFileNotInstalled(target, error);
  const std::string temp = CopyToTemporary(source, target, &error);
  if (temp.empty()) return NoteFileNotInstalled(target, error);
  // A copy from a CD is read-only, and a later setup could not replace it.
  const uint32_t copied = files.GetFileAttributes(temp);
  if (copied != platform::INVALID_FILE_ATTRIBUTES && (copied & platform::FILE_ATTRIBUTE_READONLY) != 0 &&
      !files.SetFileAttributes(temp, copied & ~platform::FILE_ATTRIBUTE_READONLY)) {
    error = files.GetLastError();
    archive::DiscardTemporary(temp);
    return NoteFileNotInstalled(target, error);
  }
  if (!archive::MoveOverDestination(temp, target, false, &error)) {
    archive::DiscardTemporary(temp);
    NoteFileNotInstalled(target, error);
  }
}

}  // namespace qr5::install
