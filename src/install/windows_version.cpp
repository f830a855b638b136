#include "install/windows_version.h"

#include <string>

namespace qr5::install {

namespace {

constexpr int32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr int32_t kPlatformNT = 2;       // VER_PLATFORM_WIN32_NT

std::string VersionName(const platform::OsVersion& v) {
  const std::string& csd = v.csd_version;
  if (v.platform_id == kPlatformWindows) {
    if (v.major != 4) return "9x version (unknown)";
    switch (v.minor) {
      case 0:
        return !csd.empty() && (csd[0] == 'B' || csd[0] == 'C') ? "95 OSR2" : "95";
      case 10:
        return !csd.empty() && csd[0] == 'A' ? "98 SE" : "98";
      case 90:
        return "98 ME";
      default:
        return "";
    }
  }
  if (v.platform_id == kPlatformNT) {
    if (v.major <= 4) return "NT";
    if (v.major == 5) {
      switch (v.minor) {
        case 0:
          return "2000";
        case 1:
          return "XP";
        case 2:
          return "Server 2003";
        default:
          break;
      }
    }
    return "Future Windows version (unknown)";
  }
  return "";
}

}  // namespace

std::string WindowsVersionText(const platform::OsVersion& version) {
  // The service-pack text means something only on the NT family; on 9x the
  // field carries letters such as "A" or " B".
  const std::string service_pack = version.platform_id == kPlatformNT ? version.csd_version : "";
  // std::to_string, not the printf family, which would bring its whole
  // formatter into the shipped program.
  const std::string numbers = " Version " + std::to_string(static_cast<int>(version.major)) + "." +
                              std::to_string(static_cast<int>(version.minor)) + " Build " +
                              std::to_string(static_cast<int>(version.build)) + " ";
  return "Microsoft Windows " + VersionName(version) + numbers + service_pack;
}

std::string GetWindowsVersionText() {
  platform::OsVersion version;
  if (!platform::Sys().system->GetVersion(&version)) version = platform::OsVersion{};
  // The service-pack field is a 128-character buffer.
  const size_t zero = version.csd_version.find('\0');
  if (zero != std::string::npos) version.csd_version.resize(zero);
  if (version.csd_version.size() > 128) version.csd_version.resize(128);
  return WindowsVersionText(version);
}

ShellScope ShellScopeFor(const std::string& version_text) {
  if (version_text.find("Windows 95") != std::string::npos ||
      version_text.find("Windows 98") != std::string::npos) {
    return {platform::HKEY_CURRENT_USER, ""};
  }
  return {platform::HKEY_LOCAL_MACHINE, "Common "};
}

}  // namespace qr5::install
