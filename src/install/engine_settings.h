// The database engine's registry configuration: the forty settings the
// suite needs, written below HKEY_LOCAL_MACHINE\SOFTWARE\Borland\Database
// Engine as strings, numbers included.
#pragma once

#include <array>
#include <string>

namespace qr5::install {

// The engine's key as the user is told of it when it cannot be written.
inline constexpr char kEngineKeyName[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Database Engine";

struct EngineSetting {
  std::string sub_key;  // below the engine key; "" is the key itself
  std::string name;
  std::string data;
};

// The settings in the order they are written, for the engine folder
// engine_dir (no trailing backslash).
std::array<EngineSetting, 40> EngineSettings(const std::string& engine_dir);

// Writes one setting. Skipped silently when the engine key cannot be opened
// or created (no rights); a subkey or value that cannot be written raises.
void WriteEngineSetting(const std::string& sub_key, const std::string& name,
                        const std::string& data);

// The engine folder below a Program Files folder; with no Program Files
// folder recorded, below Windows' default one.
std::string EngineDirFor(const std::string& program_files_dir);

}  // namespace qr5::install
