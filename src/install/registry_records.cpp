#include "install/registry_records.h"

#include "install/registry_key.h"

namespace qr5::install {

namespace {

using platform::HKEY_CURRENT_USER;
using platform::HKEY_LOCAL_MACHINE;

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The maker's site, shown by the control panel both as the publisher's
// address and as the support link.
constexpr char kMakerUrl[] = "http://www.ostrelsoftware.com/";

// What an earlier installation recorded only preselects the next one: a
// value that cannot be read as text counts as not recorded.
std::string ReadUserValue(const std::string& name) {
  RegistryKey key;
  if (!key.Open(HKEY_CURRENT_USER, kUserKeyPath)) return "";
  try {
    return key.ReadString(name);
  } catch (const ERegistryException&) {
    return "";
  }
}

void WriteUserValue(const std::string& name, const std::string& value) {
  RegistryKey key;
  long error = 0;
  if (!key.OpenOrCreate(HKEY_CURRENT_USER, kUserKeyPath, &error)) {
    throw ERegistryException(std::string("Failed to create key ") + kUserKeyPath, error);
  }
  key.WriteString(name, value);
}

}  // namespace

std::string ReadRegLanguage() { return ReadUserValue("Language"); }

std::string ReadRegInstallPath() { return ReadUserValue("Installation Path"); }

void WriteRegLanguage(const std::string& language_name) {
  WriteUserValue("Language", language_name);
}

void WriteRegInstallPath(const std::string& install_dir) {
  WriteUserValue("Installation Path", install_dir);
}

const char* ProductVersion() { return QR5_VERSION; }

void WriteUninstallEntry(const std::string& uninstall_command, const std::string& icon_path,
                         const UninstallEntryExtras& extras) {
  RegistryKey uninstall;
  // Without the rights to write machine-wide keys there is no entry: told
  // like a fault on the entry itself.
  long error = 0;
  if (!uninstall.OpenOrCreate(HKEY_LOCAL_MACHINE, kUninstallListPath, &error)) {
    throw ERegistryException(std::string("Failed to create key ") + kUninstallListPath, error);
  }
  const RegistryKey entry = uninstall.CreateSubKey(kUninstallEntryName);
  entry.WriteString("Publisher", "Ostrel Software");
  entry.WriteString("URLInfoAbout", kMakerUrl);
  entry.WriteString("HelpLink", kMakerUrl);
  entry.WriteString("UninstallString", uninstall_command);
  entry.WriteString("DisplayIcon", icon_path);
  entry.WriteString("DisplayName", "Quorlin 5");
  entry.WriteString("DisplayVersion", ProductVersion());
  entry.WriteDword("EstimatedSize", extras.estimated_kb);
  entry.WriteString("InstallLocation", extras.install_location);
  // There is nothing to change or mend in place: the setup installs anew.
  entry.WriteDword("NoModify", 1);
  entry.WriteDword("NoRepair", 1);
  // For scripts and deployment tools: the same command without a window.
  entry.WriteString("QuietUninstallString", uninstall_command + " /VERYSILENT");
}

std::string UninstallCommand(const std::string& install_dir) {
  const std::string path = install_dir + "\\QR5_UNINSTALLER.EXE";
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

std::string GetProgramFilesDir() {
  RegistryKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, kCurrentVersionKey)) return "";
  return key.ReadString("ProgramFilesDir");
}

}  // namespace qr5::install
