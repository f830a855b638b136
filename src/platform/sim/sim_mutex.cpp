#include "platform/sim/sim_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/sim/sim_files.h"
#include "platform/sim/sim_host_io.h"

namespace qr5::platform::sim {

namespace {

bool LockShared(int fd) {
  while (::flock(fd, LOCK_SH) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

SimProcesses::~SimProcesses() {
  for (int fd : handles_) ::close(fd);
}

std::string SimProcesses::FileOf(const std::string& name) const {
  std::string hex;
  char byte[4];
  for (unsigned char c : name) {
    std::snprintf(byte, sizeof byte, "%02x", c);
    hex += byte;
  }
  if (hex.size() > 200) {
    // Host names are limited; long names keep a prefix and a hash of all.
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
    char tail[24];
    std::snprintf(tail, sizeof tail, "-%016llx", static_cast<unsigned long long>(hash));
    hex = hex.substr(0, 160) + tail;
  }
  return root_ + "/mutex/" + (hex.empty() ? std::string("-") : hex);
}

bool SimProcesses::OpenMutex(const std::string& name) {
  if (name.empty() || name.find('\\') != std::string::npos) return false;
  const int fd = ::open(FileOf(name).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  // Nobody holds it when an exclusive lock can be had at once.
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    ::close(fd);
    return false;
  }
  if (!LockShared(fd)) {
    ::close(fd);
    return false;
  }
  handles_.push_back(fd);
  return true;
}

bool SimProcesses::CreateMutex(const std::string& name) {
  // Object names hold no backslash outside the "Global\" and "Local\" name
  // spaces, which this machine does not have.
  if (name.find('\\') != std::string::npos) return false;
  if (name.empty()) return true;  // an unnamed mutex: nothing to share
  if (!MakeHostDirs(root_ + "/mutex")) return false;
  const int fd = ::open(FileOf(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  if (!LockShared(fd)) {
    ::close(fd);
    return false;
  }
  handles_.push_back(fd);
  return true;
}

std::string SimProcesses::GetCommandLine() {
  const std::string program = "\"" + files_.GetModuleFileName() + "\"";
  return arguments.empty() ? program : program + " " + arguments;
}

bool SimProcesses::StartProcess(const std::string& command_line) {
  auto is_file = [this](const std::string& path) {
    const uint32_t a = files_.GetFileAttributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
  };
  auto rest_after = [&command_line](size_t at) {
    while (at < command_line.size() && command_line[at] == ' ') ++at;
    return command_line.substr(at);
  };
  if (!command_line.empty() && command_line[0] == '"') {
    const size_t close = command_line.find('"', 1);
    const std::string exe = command_line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    if (!is_file(exe)) return files_.Fail(ERROR_FILE_NOT_FOUND);
    started.push_back({exe, close == std::string::npos ? "" : rest_after(close + 1)});
    return true;
  }
  for (size_t blank = command_line.find(' ');; blank = command_line.find(' ', blank + 1)) {
    const std::string exe = command_line.substr(0, blank);
    if (!exe.empty() && is_file(exe)) {
      started.push_back({exe, blank == std::string::npos ? "" : rest_after(blank)});
      return true;
    }
    if (blank == std::string::npos) return files_.Fail(ERROR_FILE_NOT_FOUND);
  }
}

bool SimProcesses::StartProcessAndWait(const std::string& command_line, int* exit_code) {
  if (!StartProcess(command_line)) return false;
  if (exit_code != nullptr) *exit_code = 0;
  return true;
}

}  // namespace qr5::platform::sim
