#include "install/shell_folders.h"

#include "install/registry_key.h"
#include "install/windows_version.h"

namespace qr5::install {

namespace {

constexpr char kExplorerKey[] = "SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Explorer";
constexpr char kGrpConvKey[] = "Software\\MicroSoft\\Windows\\CurrentVersion\\GrpConv";

struct KindValue {
  const char* name;
  bool scoped;  // takes the "Common " prefix in the all-users scope
};

constexpr KindValue kKindValues[] = {
    {"Desktop", true},      // sfDesktop
    {"Quick Launch", false},  // sfQuickLaunch (read from GrpConv\MapGroups)
    {"SendTo", false},      // sfSendTo
    {"Start Menu", true},   // sfStartMenu
    {"Personal", false},    // sfPersonal
    {"StartUp", true},      // sfStartUp
    {"Programs", true},     // sfPrograms
    {"Favorites", false},   // sfFavorites
};

}  // namespace

std::string ShellFolderPlace(int kind) {
  if (kind < sfDesktop || kind > sfFavorites) return "?";
  const ShellScope scope = ShellScopeFor(GetWindowsVersionText());
  const KindValue& value = kKindValues[kind];
  if (kind == sfQuickLaunch) return std::string("HKEY_CURRENT_USER\\") + kGrpConvKey + "\\MapGroups\\" + value.name;
  const char* root = scope.root == platform::HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
  return root + std::string(kExplorerKey) + "\\Shell Folders\\" + (value.scoped ? scope.prefix : "") + value.name;
}

std::string GetShellFolder(int kind) {
  if (kind < sfDesktop || kind > sfFavorites) return "";
  const ShellScope scope = ShellScopeFor(GetWindowsVersionText());

  RegistryKey explorer;
  if (!explorer.Open(scope.root, kExplorerKey)) return "";

  if (kind == sfQuickLaunch) {
    // Quick Launch is recorded per user whatever the scope.
    RegistryKey grpconv;
    if (!grpconv.OpenOrCreate(platform::HKEY_CURRENT_USER, kGrpConvKey)) return "";
    const RegistryKey map_groups = grpconv.OpenSubKey("MapGroups");
    return map_groups.IsOpen() ? map_groups.ReadString(kKindValues[kind].name) : "";
  }

  const RegistryKey folders = explorer.OpenSubKey("Shell Folders");
  if (!folders.IsOpen()) return "";
  const KindValue& value = kKindValues[kind];
  return folders.ReadString(value.scoped ? scope.prefix + value.name : value.name);
}

}  // namespace qr5::install
