// The shell link object of the simulated machine: IShellLinkA + IPersistFile
// writing real MS-SHLLINK .lnk files (a LinkInfo block with the target's
// local path and the working folder as string data), which Windows and
// Debian's lnkinfo read.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_files.h"

namespace qr5::platform::sim {

class SimCom : public Com {
 public:
  explicit SimCom(SimFileSystem& files) : files_(files) {}
  bool Initialize() override;
  void Uninitialize() override;
  // Fails, as CoCreateInstance does, while COM is not initialised.
  std::unique_ptr<ShellLink> CreateShellLink() override;

 private:
  SimFileSystem& files_;
  int initialized_ = 0;
};

// The bytes of a .lnk file for a target path and working folder; the
// target's attributes, times and size are recorded when it exists.
struct LinkTargetFacts {
  uint32_t attributes = 0;
  FileTime creation = 0;
  FileTime access = 0;
  FileTime write = 0;
  uint32_t size = 0;
};
std::string BuildShellLink(const std::string& target, const std::string& working_dir,
                           const LinkTargetFacts& facts);

}  // namespace qr5::platform::sim
