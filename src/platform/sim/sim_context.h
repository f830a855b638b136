// The state one simulated machine shares between its services.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/sim/sim_attributes.h"
#include "platform/sim/sim_machine_config.h"
#include "platform/sim/sim_paths.h"

namespace qr5::platform::sim {

struct SimContext {
  explicit SimContext(const std::string& machine_root)
      : root(machine_root), resolver(machine_root), attributes(machine_root) {}

  std::string root;
  PathResolver resolver;
  AttributeStore attributes;
  MachineConfig config;
  std::string ini_path;  // machine.ini

  std::string module_file_name;  // GetModuleFileNameA
  // The module file name and its file's host identity, once found.
  std::pair<std::string, std::pair<dev_t, ino_t>> running_program;
  std::string current_dir = "C:\\";
  uint32_t last_error = 0;
  uint32_t error_mode = 0;

  // Files this process holds open, by host identity: such a file cannot be
  // deleted or renamed (the handles do not share deletion), and while one
  // handle denies writing, nobody can open it for writing.
  struct OpenHandles {
    int handles = 0;
    int writers = 0;       // handles with write access
    int deny_writers = 0;  // handles that share reading only
  };
  std::map<std::pair<dev_t, ino_t>, OpenHandles> open_files;
  // Bytes written beyond the end of files per drive, taken from the free
  // space set in machine.ini.
  std::map<char, int64_t> bytes_added;
};

}  // namespace qr5::platform::sim
