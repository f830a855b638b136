#include "uninstall/installation_record.h"

#include <exception>

#include "install/registry_records.h"
#include "lang/language_codes.h"
#include "lang/strip_trailing_backslash.h"
#include "platform/platform.h"

namespace qr5::uninstall {

std::optional<Installation> FindInstallation() {
  Installation found;
  try {
    found.dir = lang::StripTrailingBackslash(install::ReadRegInstallPath());
    found.language_name = install::ReadRegLanguage();
  } catch (const std::exception&) {
    return std::nullopt;  // a value of another type is no record of ours
  }
  if (found.dir.empty()) return std::nullopt;
  // "C:" alone would name the current folder of drive C.
  if (found.dir.size() == 2 && found.dir[1] == ':') found.dir += "\\";
  const uint32_t attributes = platform::Sys().files->GetFileAttributes(found.dir);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES ||
      (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return std::nullopt;
  }
  found.language_file =
      found.dir + (found.dir.back() == '\\' ? "" : "\\") + "LANGUAGE" +
      lang::LangQR5ConvertToExtension(found.language_name);
  return found;
}

}  // namespace qr5::uninstall
