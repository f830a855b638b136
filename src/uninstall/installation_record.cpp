#include "uninstall/installation_record.h"

#include <exception>

#include "install/registry_records.h"
#include "install/suite_program_table.h"
#include "lang/ini_file.h"
#include "lang/language_codes.h"
#include "lang/setup_keys.h"
#include "platform/platform.h"
#include "uninstall/install_paths.h"
#include "uninstall/suite_manifest.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

bool IsFolder(const std::string& path) {
  const uint32_t attributes = Sys().files->GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool HoldsTheSuite(const std::string& dir) {
  for (size_t i = 0; i < kSuiteFileCount; ++i) {
    const uint32_t attributes = Sys().files->GetFileAttributes(InFolder(dir, kSuiteFiles[i].path));
    if (attributes != platform::INVALID_FILE_ATTRIBUTES && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0) {
      return true;
    }
  }
  return false;
}

// The extension of the language the setup gave the suite's programs in
// dir (".ITA"), from the first program INI that names its language file;
// "" when none does.
std::string InstalledExtension(const std::string& dir) {
  for (const install::SuiteProgram& program : install::SuiteProgramTable) {
    const std::string file =
        lang::TIniFile(InFolder(dir, program.language_ini)).ReadString(lang::kSetupSection, "LanguageFile", "");
    const size_t dot = file.find_last_of('.');
    if (dot != std::string::npos && dot + 1 < file.size()) return file.substr(dot);
  }
  return "";
}

}  // namespace

std::optional<Installation> FindInstallation(const std::string& started_from) {
  std::string recorded, language;
  try {
    recorded = CanonicalPath(install::ReadRegInstallPath());
    language = install::ReadRegLanguage();
  } catch (const std::exception&) {
    recorded.clear();  // a value of another type is no record of ours
  }
  Installation found;
  std::string extension;
  const std::string started = CanonicalPath(started_from);
  if (!started.empty() && IsFolder(started) && HoldsTheSuite(started)) {
    found.dir = started;
    extension = SamePath(started, recorded) ? lang::LangQR5ConvertToExtension(language) : InstalledExtension(started);
  } else if (!recorded.empty() && IsFolder(recorded)) {
    found.dir = recorded;
    extension = lang::LangQR5ConvertToExtension(language);
  } else {
    return std::nullopt;
  }
  found.language_file = InFolder(found.dir, "LANGUAGE" + (extension.empty() ? std::string(".ENG") : extension));
  return found;
}

}  // namespace qr5::uninstall
