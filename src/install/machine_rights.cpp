#include "install/machine_rights.h"

#include "archive/replace_destination.h"
#include "install/shell_folders.h"
#include "lang/ini_file.h"
#include "lang/installer_keys.h"
#include "platform/platform.h"

namespace qr5::install {

namespace {

constexpr int32_t kPlatformNT = 2;  // VER_PLATFORM_WIN32_NT
constexpr char kNeedsAdministratorDefault[] =
    "Quorlin 5 must be installed by an administrator. Log on as an administrator and run Setup again.";

bool ProgramsFolderWritable() {
  const std::string folder = GetShellFolder(sfPrograms);
  if (folder.empty()) return false;
  platform::FileSystem& files = *platform::Sys().files;
  for (int n = 0; n < 100; ++n) {
    const std::string probe = folder + "\\" + archive::TemporaryName(n, 12);
    if (files.OpenFile(probe, platform::OpenMode::kCreateNew)) return archive::DiscardTemporary(probe);
    const uint32_t error = files.GetLastError();
    if (error != platform::ERROR_FILE_EXISTS && error != platform::ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

}  // namespace

bool MayInstallForTheMachine() {
  platform::OsVersion version;
  if (!platform::Sys().system->GetVersion(&version) || version.platform_id != kPlatformNT) return true;
  platform::Registry& registry = *platform::Sys().registry;
  platform::HKEY key = 0;
  if (registry.CreateKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE", &key) != platform::ERROR_SUCCESS) return false;
  registry.CloseKey(key);
  return ProgramsFolderWritable();
}

std::string NeedsAdministratorMessage(const std::string& language_file) {
  return lang::TIniFile(language_file)
      .ReadString(lang::kInstallerSection, lang::installer_key::kNeedsAdministrator.Name(), kNeedsAdministratorDefault);
}

}  // namespace qr5::install
