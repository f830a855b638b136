#include "uninstall/install_paths.h"

#include "platform/platform.h"

namespace qr5::uninstall {

std::string InFolder(const std::string& dir, const std::string& relative) {
  if (!dir.empty() && dir.back() == '\\') return dir + relative;
  return dir + "\\" + relative;
}

bool IsInside(const std::string& dir, const std::string& path) {
  const std::string prefix = InFolder(dir, "");
  if (path.size() <= prefix.size()) return false;
  // Windows compares paths in the letter case of the code page: beyond ASCII,
  // and never folding the trail byte of a double-byte character.
  platform::SystemInfo& system = *platform::Sys().system;
  return system.UpperCase(path.substr(0, prefix.size())) == system.UpperCase(prefix);
}

}  // namespace qr5::uninstall
