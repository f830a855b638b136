#include "uninstall/remove_records.h"

#include "install/registry_key.h"
#include "install/registry_records.h"
#include "platform/platform.h"
#include "uninstall/install_paths.h"

namespace qr5::uninstall {

namespace {

using platform::HKEY_CURRENT_USER;
using platform::HKEY_LOCAL_MACHINE;

// The program of a command line: quoted, or the whole line.
std::string ProgramOf(const std::string& command) {
  if (!command.empty() && command[0] == '"') return command.substr(1, command.find('"', 1) - 1);
  return command;
}

// A value of the key as text; "" when it is missing or not text.
std::string ReadText(platform::HKEY root, const std::string& path, const std::string& name) {
  install::RegistryKey key;
  if (!key.Open(root, path)) return "";
  try {
    return key.ReadString(name);
  } catch (const install::ERegistryException&) {
    return "";
  }
}

bool Deleted(platform::HKEY root, const std::string& path) {
  const long error = platform::Sys().registry->DeleteKey(root, path);
  return error == platform::ERROR_SUCCESS || error == platform::ERROR_FILE_NOT_FOUND;
}

}  // namespace

void RemoveRecords(const std::string& dir, RemovalResult& result) {
  const std::string entry_path = std::string(install::kUninstallListPath) + "\\" + install::kUninstallEntryName;
  const std::string recorded_dir = install::ReadRegInstallPath();
  const std::string language = install::ReadRegLanguage();
  const bool user_ours = SamePath(recorded_dir, dir);
  const std::string command = ReadText(HKEY_LOCAL_MACHINE, entry_path, "UninstallString");
  const bool entry_ours = SamePath(ProgramOf(command), InFolder(dir, "QR5_UNINSTALLER.EXE"));

  if (user_ours && !Deleted(HKEY_CURRENT_USER, install::kUserKeyPath)) {
    ++result.left;
    return;
  }
  if (entry_ours && !Deleted(HKEY_LOCAL_MACHINE, entry_path)) {
    ++result.left;
    if (!user_ours) return;
    try {
      install::WriteRegLanguage(language);
      install::WriteRegInstallPath(recorded_dir);
    } catch (const install::ERegistryException&) {
      // The entry still starts the uninstaller, which finds its folder by
      // where it lies.
    }
  }
}

}  // namespace qr5::uninstall
