#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

namespace {

class Win32Registry : public Registry {
 public:
  long OpenKey(platform::HKEY root, const std::string& sub_key, platform::KeyAccess access,
               platform::HKEY* result) override {
    ::HKEY key = nullptr;
    const REGSAM rights = access == platform::KeyAccess::kRead ? KEY_READ : KEY_READ | KEY_WRITE;
    const LONG error = ::RegOpenKeyExA(ToWindows(root), Z(sub_key), 0, rights, &key);
    *result = error == ERROR_SUCCESS ? FromWindows(key) : 0;
    return error;
  }

  long CreateKey(platform::HKEY root, const std::string& sub_key,
                 platform::HKEY* result) override {
    ::HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG error =
        ::RegCreateKeyExA(ToWindows(root), Z(sub_key), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &key, &disposition);
    *result = error == ERROR_SUCCESS ? FromWindows(key) : 0;
    return error;
  }

  long QueryValue(platform::HKEY key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    DWORD value_type = 0;
    DWORD value_size = size != nullptr ? *size : 0;
    const LONG error = ::RegQueryValueExA(ToWindows(key), Z(name), nullptr, &value_type, data,
                                          size != nullptr ? &value_size : nullptr);
    if (type != nullptr) *type = value_type;
    if (size != nullptr) *size = value_size;
    return error;
  }

  long SetValue(platform::HKEY key, const std::string& name, uint32_t type, const uint8_t* data,
                uint32_t size) override {
    return ::RegSetValueExA(ToWindows(key), Z(name), 0, type, data, size);
  }

  long CloseKey(platform::HKEY key) override { return ::RegCloseKey(ToWindows(key)); }

  long DeleteValue(platform::HKEY key, const std::string& name) override {
    return ::RegDeleteValueA(ToWindows(key), Z(name));
  }

  long DeleteKey(platform::HKEY parent, const std::string& sub_key) override {
    return ::RegDeleteKeyA(ToWindows(parent), Z(sub_key));
  }
};

}  // namespace

std::unique_ptr<Registry> NewRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace qr5::platform::win32
