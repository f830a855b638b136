#include "platform/sim/sim_host_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>

#include "platform/command_line_words.h"

namespace qr5::platform::sim {

namespace {

std::string HostExecutablePath(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  return std::filesystem::absolute(argv0 != nullptr ? argv0 : "", error).string();
}

}  // namespace

std::unique_ptr<SimMachine> OpenHostMachine(const char* argv0, const std::string& program,
                                            std::string* error) {
  try {
    std::string windows_exe;
    const std::string root = SimMachine::LocateRoot(HostExecutablePath(argv0), &windows_exe);
    const char* named = std::getenv("QR5_MACHINE");
    if (root.empty() && named != nullptr && *named != '\0') {
      *error = program + ": QR5_MACHINE names " + named + ", which is not a simulated machine's root folder.";
      return nullptr;
    }
    if (root.empty()) {
      *error = program + ": no simulated Windows machine found. Run the program from a machine's drive "
                         "folder (<root>/drives/D/" + program + ") or name the machine root in QR5_MACHINE.";
      return nullptr;
    }
    if (windows_exe.empty()) {
      *error = program + ": the program lies outside the drives of the machine " + root +
               "; copy it into one of them (for example " + root + "/drives/D/) and run it from there.";
      return nullptr;
    }
    std::unique_ptr<SimMachine> sim = SimMachine::Open(root);
    sim->SetModuleFileName(windows_exe);
    return sim;
  } catch (const std::exception& e) {
    *error = program + ": cannot open the simulated machine: " + e.what();
    return nullptr;
  }
}

int ExecStartedProgram(SimMachine& machine) {
  const std::vector<StartedProgram> started = machine.TakeStartedPrograms();
  if (started.empty()) return 0;
  const std::string host = machine.HostPath(started.front().exe);
  // Files on the machine's drives carry no host execute bit of their own.
  ::chmod(host.c_str(), 0755);
  ::setenv("QR5_MACHINE", machine.root().c_str(), 1);
  std::cout.flush();
  // Its switches as its own command line would carry them.
  std::vector<std::string> words = SplitCommandLine(started.front().arguments).words;
  std::vector<char*> argv{const_cast<char*>(host.c_str())};
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ::execv(host.c_str(), argv.data());
  std::cerr << "cannot start " << started.front().exe << " (" << host << ")\n";
  return 2;
}

}  // namespace qr5::platform::sim
