// Named mutexes of the simulated machine, shared by every process that
// uses the same machine root. A mutex is the file mutex/<hex of its name>
// in the root; each handle holds a shared flock on it, so the mutex exists
// exactly while some process holds a handle and vanishes with the last
// one, also when that process dies. Names compare byte for byte (case
// matters), as the kernel's object names do.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace qr5::platform::sim {

class SimProcesses : public Processes {
 public:
  explicit SimProcesses(std::string root) : root_(std::move(root)) {}
  ~SimProcesses() override;

  bool OpenMutex(const std::string& name) override;
  bool CreateMutex(const std::string& name) override;

 private:
  std::string FileOf(const std::string& name) const;
  std::string root_;
  std::vector<int> handles_;  // one shared lock each, kept until the end
};

}  // namespace qr5::platform::sim
