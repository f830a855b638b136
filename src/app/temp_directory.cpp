#include "app/temp_directory.h"

#include "platform/platform.h"

namespace qr5::app {

std::string GetWindowsTempDirectory() {
  std::string path = platform::Sys().files->GetTempPath();
  // The text up to its terminating zero, as a C buffer would give it.
  const size_t nul = path.find('\0');
  if (nul != std::string::npos) path.resize(nul);
  return path;
}

}  // namespace qr5::app
