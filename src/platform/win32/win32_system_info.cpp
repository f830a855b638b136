#include <cstdlib>
#include <vector>

#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

namespace {

// EnumSystemLocalesA passes no context to its callback: the search runs
// through this record (one GUI thread).
struct LocaleSearch {
  LCID wanted = 0;
  bool found = false;
};
LocaleSearch* g_locale_search = nullptr;

BOOL CALLBACK OnSupportedLocale(LPSTR locale_id) {
  // The locale arrives as eight hexadecimal digits, e.g. "00000409".
  char* end = nullptr;
  const unsigned long id = std::strtoul(locale_id, &end, 16);
  if (end != locale_id && *end == '\0' && id == g_locale_search->wanted) {
    g_locale_search->found = true;
    return FALSE;
  }
  return TRUE;
}

class Win32SystemInfo : public SystemInfo {
 public:
  std::string ThreadLanguageName() override {
    LocaleSearch search;
    search.wanted = ::GetThreadLocale();
    g_locale_search = &search;
    ::EnumSystemLocalesA(OnSupportedLocale, LCID_SUPPORTED);
    g_locale_search = nullptr;
    if (!search.found) return std::string();
    char name[256];
    // The English name: the localized one ("Français", "Suomi") would never
    // match the words the language list looks for.
    const int length = ::GetLocaleInfoA(search.wanted, LOCALE_SENGLANGUAGE, name, sizeof name);
    return length > 1 ? std::string(name, length - 1) : std::string();
  }

  bool GetVersion(OsVersion* version) override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(&info)) {
      *version = OsVersion();
      return false;
    }
    version->platform_id = static_cast<int32_t>(info.dwPlatformId);
    version->major = static_cast<int32_t>(info.dwMajorVersion);
    version->minor = static_cast<int32_t>(info.dwMinorVersion);
    version->build = static_cast<int32_t>(info.dwBuildNumber);
    const char* csd = info.szCSDVersion;
    size_t length = 0;
    while (length < sizeof info.szCSDVersion && csd[length] != '\0') ++length;
    version->csd_version.assign(csd, length);
    return true;
  }

  std::string OemToAnsi(const std::string& oem) override {
    if (oem.empty()) return oem;
    // The length-counted form converts every byte, a zero byte included, so
    // the result always has the length of the input.
    std::vector<char> ansi(oem.size());
    ::OemToCharBuffA(oem.data(), ansi.data(), static_cast<DWORD>(oem.size()));
    return std::string(ansi.data(), ansi.size());
  }

  bool IsLeadByte(char byte) override {
    return ::IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE;
  }

  std::string UpperCase(const std::string& text) override {
    if (text.empty()) return text;
    std::vector<char> upper(text.begin(), text.end());
    ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return std::string(upper.data(), upper.size());
  }
};

}  // namespace

std::unique_ptr<SystemInfo> NewSystemInfo() { return std::make_unique<Win32SystemInfo>(); }

}  // namespace qr5::platform::win32
