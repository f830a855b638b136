#include "install/registry_key.h"

#include <vector>

namespace qr5::install {

using platform::Sys;

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = other.key_;
    other.key_ = 0;
  }
  return *this;
}

void RegistryKey::Close() {
  if (key_ != 0) {
    Sys().registry->CloseKey(key_);
    key_ = 0;
  }
}

bool RegistryKey::Open(platform::HKEY parent, const std::string& path) {
  Close();
  platform::HKEY key = 0;
  if (Sys().registry->OpenKey(parent, path, platform::KeyAccess::kRead, &key) != platform::ERROR_SUCCESS) return false;
  key_ = key;
  return true;
}

bool RegistryKey::OpenOrCreate(platform::HKEY parent, const std::string& path, long* error) {
  Close();
  platform::HKEY key = 0;
  const long result = Sys().registry->CreateKey(parent, path, &key);
  if (error != nullptr) *error = result;
  if (result != platform::ERROR_SUCCESS) return false;
  key_ = key;
  return true;
}

RegistryKey RegistryKey::CreateSubKey(const std::string& path) const {
  RegistryKey sub;
  long error = 0;
  if (!sub.OpenOrCreate(key_, path, &error)) {
    throw ERegistryException("Failed to create key " + path, error);
  }
  return sub;
}

RegistryKey RegistryKey::OpenSubKey(const std::string& path) const {
  RegistryKey sub;
  sub.Open(key_, path);
  return sub;
}

std::string RegistryKey::ReadString(const std::string& name) const {
  uint32_t type = 0;
  uint32_t size = 0;
  // A value whose size cannot be learned is taken as missing.
  if (Sys().registry->QueryValue(key_, name, &type, nullptr, &size) != platform::ERROR_SUCCESS ||
      size == 0) {
    return "";
  }
  std::vector<uint8_t> data(size);
  if (Sys().registry->QueryValue(key_, name, &type, data.data(), &size) !=
      platform::ERROR_SUCCESS) {
    throw ERegistryException("Failed to get data for '" + name + "'");
  }
  if (type != platform::REG_SZ && type != platform::REG_EXPAND_SZ) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  if (size > data.size()) size = static_cast<uint32_t>(data.size());
  std::string text(reinterpret_cast<const char*>(data.data()), size);
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

void RegistryKey::WriteString(const std::string& name, const std::string& value) const {
  const auto* data = reinterpret_cast<const uint8_t*>(value.c_str());
  const long error =
      Sys().registry->SetValue(key_, name, platform::REG_SZ, data, static_cast<uint32_t>(value.size() + 1));
  if (error != platform::ERROR_SUCCESS) throw ERegistryException("Failed to set data for '" + name + "'", error);
}

void RegistryKey::WriteDword(const std::string& name, uint32_t value) const {
  const uint8_t data[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  if (Sys().registry->SetValue(key_, name, platform::REG_DWORD, data, sizeof data) !=
      platform::ERROR_SUCCESS) {
    throw ERegistryException("Failed to set data for '" + name + "'");
  }
}

}  // namespace qr5::install
