#include "uninstall/install_paths.h"

#include <cctype>

namespace qr5::uninstall {

std::string InFolder(const std::string& dir, const std::string& relative) {
  if (!dir.empty() && dir.back() == '\\') return dir + relative;
  return dir + "\\" + relative;
}

bool IsInside(const std::string& dir, const std::string& path) {
  const std::string prefix = InFolder(dir, "");
  if (path.size() <= prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(path[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace qr5::uninstall
