// Processes of the simulated machine: named mutexes, and programs started,
// which are recorded for the host (or a test) to run.
//
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

class SimFileSystem;

// A program that StartProcess was asked to run.
struct StartedProgram {
  std::string exe;        // its Windows path
  std::string arguments;  // the rest of the command line
};

class SimProcesses : public Processes {
 public:
  SimProcesses(std::string root, SimFileSystem& files) : root_(std::move(root)), files_(files) {}
  ~SimProcesses() override;

  bool OpenMutex(const std::string& name) override;
  bool CreateMutex(const std::string& name) override;
  // Finds the program as CreateProcessA does (a quoted path, or else the
  // shortest blank-separated prefix naming an existing file) and records it.
  bool StartProcess(const std::string& command_line) override;
  // The module file name, quoted, and the arguments the host was given.
  std::string GetCommandLine() override;
  // Recorded as StartProcess does; the host runs it in this process's place.
  bool StartProcessAndWait(const std::string& command_line, int* exit_code) override;
  // Nothing waits: the host's process became the started one.
  bool ReleaseWaitingParent(int) override { return false; }

  std::vector<StartedProgram> started;
  std::string arguments;  // after the program's path, as the host passes them

 private:
  std::string FileOf(const std::string& name) const;
  std::string root_;
  SimFileSystem& files_;
  std::vector<int> handles_;  // one shared lock each, kept until the end
};

}  // namespace qr5::platform::sim
