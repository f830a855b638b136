// The contract tests' machine on the host: a simulated machine created in a
// temporary folder for this test process (a child process opens its
// parent's machine instead).
#ifndef _WIN32

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "contract_machine.h"
#include "platform/sim/sim_machine.h"

extern char** environ;

namespace {

constexpr const char* kRootVariable = "QR5_CONTRACT_ROOT";
constexpr const char* kArgumentVariable = "QR5_CONTRACT_CHILD";

struct ContractSim {
  std::string root;
  bool owned = false;
  std::unique_ptr<qr5::platform::sim::SimMachine> sim;
  int scratch_count = 0;

  ContractSim() {
    const char* inherited = std::getenv(kRootVariable);
    if (inherited != nullptr && *inherited != '\0') {
      root = inherited;
    } else {
      char pattern[] = "/tmp/qr5-contract-XXXXXX";
      if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
      root = pattern;
      owned = true;
      qr5::platform::sim::SimMachine::CreateFresh(root);
    }
    sim = qr5::platform::sim::SimMachine::Open(root);
    qr5::platform::Install(&sim->machine());
  }
  ~ContractSim() {
    sim.reset();
    std::error_code ignored;
    if (owned) std::filesystem::remove_all(root, ignored);
  }
};

ContractSim& Sim() {
  static ContractSim instance;
  return instance;
}

}  // namespace

qr5::platform::Machine& ContractMachine() { return Sim().sim->machine(); }

std::string ContractScratchDir() {
  ContractSim& sim = Sim();
  for (;;) {
    const std::string path = "C:\\Scratch " + std::to_string(::getpid()) + "-" +
                             std::to_string(++sim.scratch_count);
    if (sim.sim->machine().files->CreateDirectory(path)) return path;
    if (sim.sim->machine().files->GetLastError() != qr5::platform::ERROR_ALREADY_EXISTS) {
      throw std::runtime_error("cannot create the scratch folder " + path);
    }
  }
}

int ContractRunChild(const std::string& test_name, const std::string& argument) {
  ContractSim& sim = Sim();
  std::vector<std::string> env_strings;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.rfind(std::string(kRootVariable) + "=", 0) == 0) continue;
    if (text.rfind(std::string(kArgumentVariable) + "=", 0) == 0) continue;
    env_strings.push_back(text);
  }
  env_strings.push_back(std::string(kRootVariable) + "=" + sim.root);
  env_strings.push_back(std::string(kArgumentVariable) + "=" + argument);
  std::vector<char*> envp;
  for (std::string& text : env_strings) envp.push_back(text.data());
  envp.push_back(nullptr);

  std::string self = "/proc/self/exe";
  std::string filter = "--gtest_filter=" + test_name;
  char* argv[] = {self.data(), filter.data(), nullptr};
  // The child's own test report would only clutter the parent's.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string ContractChildArgument() {
  const char* argument = std::getenv(kArgumentVariable);
  return argument == nullptr ? "" : argument;
}

#endif  // _WIN32
