// The registry of a simulated machine as a REGEDIT4 file, the format
// regedit imports on every Windows:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion]
//   "ProgramFilesDir"="C:\\Program Files"
//   "Count"=dword:0000002a
//   "Raw"=hex:01,02,03
//   "Path"=hex(2):25,54,45,4d,50,25,00        REG_EXPAND_SZ; hex(N) for any type N
//   @="the default value"
//
// Key and value names compare without regard to case; a key exists when it
// is listed or lies above a listed key.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qr5::platform::sim {

struct RegValue {
  std::string name;  // "" is the default value
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

struct RegKey {
  std::string path;  // as spelled when created: "HKEY_CURRENT_USER\Quorlin5"
  std::vector<RegValue> values;
  RegValue* Find(const std::string& name);
};

class RegDatabase {
 public:
  // Throws std::runtime_error("<label>:<line>: <what>").
  static RegDatabase Parse(const std::string& text, const std::string& label);
  std::string Serialize() const;

  // Full paths ("HKEY_LOCAL_MACHINE\SOFTWARE\..."), any case.
  bool Exists(const std::string& path) const;
  RegKey* Find(const std::string& path);
  // Creates the key and the keys above it; the new ones keep this spelling.
  RegKey& Create(const std::string& path);

  // The canonical name of a root key ("HKLM" and "hkey_local_machine" give
  // "HKEY_LOCAL_MACHINE"); "" when unknown.
  static std::string RootName(const std::string& name);

  // Removes the key with every key below it.
  void Delete(const std::string& path);
  // Whether a key lies below the key at path.
  bool HasSubKeys(const std::string& path) const;

 private:
  using KeyId = std::vector<std::string>;  // upper-cased components
  static KeyId IdOf(const std::string& path);
  std::map<KeyId, RegKey> keys_;
};

}  // namespace qr5::platform::sim
