// A platform Machine for host tools: Windows-style paths go straight to host
// paths ("\" becomes "/"), so the archive reader can work on host files.
// Names of MS-DOS archives are converted from code page 437 to UTF-8, the
// host's encoding. Paths below a "sink" prefix are written nowhere: files
// created there swallow their bytes (used to test an archive without
// writing).
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace qr5::tools {

class HostMachine {
 public:
  explicit HostMachine(std::string sink_prefix = "");
  ~HostMachine();
  platform::Machine& machine() { return machine_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  platform::Machine machine_;
};

// The host path of a Windows-style path.
std::string HostPath(const std::string& path);

}  // namespace qr5::tools
