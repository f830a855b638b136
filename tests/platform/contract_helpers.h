// Small helpers of the platform contract tests, written over platform.h
// only.
#pragma once

#include <string>

#include "contract_machine.h"

namespace contract {

inline qr5::platform::FileSystem& Files() { return *ContractMachine().files; }

// Writes a whole file (CreateFileA CREATE_ALWAYS); false on failure.
inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  auto file = Files().OpenFile(path, qr5::platform::OpenMode::kCreateAlways);
  if (!file) return false;
  return file->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// Reads a whole file; "<missing>" when it cannot be opened.
inline std::string ReadBytes(const std::string& path) {
  auto file = Files().OpenFile(path, qr5::platform::OpenMode::kRead);
  if (!file) return "<missing>";
  std::string data;
  char buffer[4096];
  uint32_t got = 0;
  while (file->Read(buffer, sizeof buffer, &got) && got > 0) data.append(buffer, got);
  return data;
}

inline bool Exists(const std::string& path) {
  return Files().GetFileAttributes(path) != qr5::platform::INVALID_FILE_ATTRIBUTES;
}

// Whether a read-only file refuses to be opened for writing. Windows and the
// simulated machine refuse; Wine leaves the check to the host's file
// permissions, which do not bind root, so under Wine run as root they do not.
inline bool ReadOnlyStopsWriters() {
  static const bool stops = [] {
    const std::string path = ContractScratchDir() + "\\probe.txt";
    if (!WriteBytes(path, "probe")) return true;
    Files().SetFileAttributes(path, qr5::platform::FILE_ATTRIBUTE_READONLY);
    const bool refused = Files().OpenFile(path, qr5::platform::OpenMode::kReadWrite) == nullptr;
    Files().SetFileAttributes(path, qr5::platform::FILE_ATTRIBUTE_NORMAL);
    Files().DeleteFile(path);
    return refused;
  }();
  return stops;
}
inline constexpr const char* kReadOnlyIgnored =
    "read-only files can be written here (Wine run as root)";

}  // namespace contract
