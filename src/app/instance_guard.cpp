#include "app/instance_guard.h"

#include "platform/platform.h"

namespace qr5::app {

bool IsAlreadyRunning(const std::string& name) {
  platform::Processes& processes = *platform::Sys().processes;
  if (processes.OpenMutex(name)) return true;
  return !processes.CreateMutex(name);
}

std::string ExecutableFileName(const std::string& path) {
  const size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace qr5::app
