#include "install/install_helper_library.h"

#include "lang/strip_trailing_backslash.h"
#include "platform/platform.h"

namespace qr5::install {

void InstallHelperLibrary(const std::string& setup_dir, const std::string& install_dir) {
  auto& files = *platform::Sys().files;
  const std::string source = setup_dir + "KAVO5.DLL";
  const uint32_t attributes = files.GetFileAttributes(source);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES ||
      (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return;
  }
  // Not essential to the suite: the result is not examined.
  const std::string target = lang::StripTrailingBackslash(install_dir) + "\\KAVO5.DLL";
  if (!files.CopyFile(source, target, /*fail_if_exists=*/false)) return;
  // A copy from a CD is read-only, and a later setup could not replace it.
  const uint32_t copied = files.GetFileAttributes(target);
  if (copied != platform::INVALID_FILE_ATTRIBUTES && (copied & platform::FILE_ATTRIBUTE_READONLY) != 0) {
    files.SetFileAttributes(target, copied & ~platform::FILE_ATTRIBUTE_READONLY);
  }
}

}  // namespace qr5::install
