#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

namespace {

class Win32Profile : public Profile {
 public:
  std::string GetString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& default_value) override {
    // The buffer size is part of the behaviour: longer values are cut to 2047.
    char buffer[2048];
    const DWORD length = ::GetPrivateProfileStringA(Z(section), Z(key), Z(default_value), buffer,
                                                    sizeof buffer, Z(file));
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
  }

  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    return ::WritePrivateProfileStringA(Z(section), Z(key), Z(value), Z(file)) != FALSE;
  }
};

}  // namespace

std::unique_ptr<Profile> NewProfile() { return std::make_unique<Win32Profile>(); }

}  // namespace qr5::platform::win32
