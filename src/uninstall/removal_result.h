// What a removal step leaves behind for the finish page to report.
#pragma once

#include <functional>
#include <string>

namespace qr5::uninstall {

struct RemovalResult {
  int removed = 0;  // files and shortcuts deleted
  int left = 0;     // ours, but could not be deleted (in use, read-only)
};

// Told the percentage done and the path being removed.
using RemovalProgress = std::function<void(int percent, const std::string& path)>;

}  // namespace qr5::uninstall
