// One open registry key, opened for reading or, when created, for reading
// and writing, and closed when it goes out of scope, with the text reads and
// writes the setup needs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"
#include "platform/platform.h"

namespace qr5::install {

// Raised by the registry layer: "Failed to create key %s", "Failed to set
// data for '%s'", "Failed to get data for '%s'", "Invalid data type for '%s'".
class ERegistryException : public Error {
 public:
  explicit ERegistryException(const std::string& message, long code = 0)
      : Error(message), error(static_cast<uint32_t>(code)) {}
  uint32_t error;  // the Windows error, 0 when none
};

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() { Close(); }
  RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = 0; }
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Opens an existing key below parent for reading; false when it is
  // missing or cannot be read. Any key held before is closed.
  bool Open(platform::HKEY parent, const std::string& path);
  // Opens the key below parent, creating every missing level; false when
  // that fails.
  // *error (when given) receives the Windows error.
  bool OpenOrCreate(platform::HKEY parent, const std::string& path, long* error = nullptr);

  // The subkey path below this key, created when missing; raises "Failed
  // to create key <path>" when that fails. An empty path gives this key.
  RegistryKey CreateSubKey(const std::string& path) const;
  // The existing subkey below this key; not open when missing.
  RegistryKey OpenSubKey(const std::string& path) const;

  bool IsOpen() const { return key_ != 0; }
  platform::HKEY Handle() const { return key_; }
  void Close();

  // A REG_SZ or REG_EXPAND_SZ value up to its first zero byte (unexpanded);
  // "" when the value is missing or empty. Other types raise "Invalid data
  // type for '<name>'"; a failed read raises "Failed to get data for ...".
  std::string ReadString(const std::string& name) const;
  // Stores value as REG_SZ with its terminating zero byte; raises "Failed to
  // set data for '<name>'".
  void WriteString(const std::string& name, const std::string& value) const;
  // Stores value as REG_DWORD; raises as WriteString.
  void WriteDword(const std::string& name, uint32_t value) const;

 private:
  platform::HKEY key_ = 0;
};

}  // namespace qr5::install
