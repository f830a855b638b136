// The advapi32 registry functions over the machine's "registry.reg",
// which is read for every operation and rewritten atomically (a new file,
// then a rename) for every change, under a lock on the machine root so
// processes sharing the machine never lose each other's writes. The text
// read last is kept with what it parses to, and parsed again only when the
// file's text differs (another process or a test may have changed it).
//
// Denied keys: "registry-denied.txt" in the machine root lists one full key
// path per line ("HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall";
// ";" starts a comment). Opening or creating a listed key, or any key below
// it fails with ERROR_ACCESS_DENIED, as for a user without the rights. A
// line "read-only <path>" lets the key and those below it be read but not
// opened for writing, created, changed or deleted, as a limited user sees
// HKEY_LOCAL_MACHINE on the NT family. A value written through a handle
// opened for reading is refused as Windows refuses it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_reg_file.h"

namespace qr5::platform::sim {

inline constexpr long kErrorBadDb = 1009;
inline constexpr long kErrorKeyDeleted = 1018;

class SimRegistry : public Registry {
 public:
  explicit SimRegistry(std::string root);

  long OpenKey(HKEY root, const std::string& sub_key, KeyAccess access, HKEY* result) override;
  long CreateKey(HKEY root, const std::string& sub_key, HKEY* result) override;
  long QueryValue(HKEY key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override;
  long SetValue(HKEY key, const std::string& name, uint32_t type, const uint8_t* data,
                uint32_t size) override;
  long CloseKey(HKEY key) override;
  long DeleteValue(HKEY key, const std::string& name) override;
  long DeleteKey(HKEY parent, const std::string& sub_key) override;

  // Adds a key to registry-denied.txt (read_only: "read-only <path>").
  bool Deny(HKEY root, const std::string& sub_key, bool read_only = false);
  // Reads registry.reg; throws std::runtime_error naming file and line.
  RegDatabase Load() const;
  // Sets each REG_SZ value that does not exist yet (full key path, value
  // name, text), creating its key; existing values stay as they are.
  struct SeedValue {
    std::string key;
    std::string name;
    std::string text;
  };
  bool Seed(const std::vector<SeedValue>& values);

 private:
  // The full path of a handle ("" for an unknown handle).
  std::string PathOf(HKEY key) const;
  long Join(HKEY root, const std::string& sub_key, std::string* path) const;
  enum class Rights { kAll, kRead, kNone };
  Rights RightsOf(const std::string& path) const;
  bool Denied(const std::string& path) const { return RightsOf(path) == Rights::kNone; }
  // Whether a change to the key may be made through this handle (or path).
  bool MayWrite(HKEY key, const std::string& path) const;
  long Open(HKEY root, const std::string& sub_key, bool create, KeyAccess access, HKEY* result);
  bool Save(const RegDatabase& db);
  // The text last read or written here (or a missing file), and what it
  // parses to.
  void Remember(std::string text, bool missing, RegDatabase db) const;

  std::string root_;
  std::string file_;
  mutable bool cached_ = false;
  mutable bool cached_missing_ = false;
  mutable std::string cached_text_;
  mutable RegDatabase cached_db_;
  struct Handle {
    std::string path;
    KeyAccess access;
  };
  std::map<HKEY, Handle> handles_;
  HKEY next_handle_ = 0x1000;
};

}  // namespace qr5::platform::sim
