// What a removal step leaves behind for the finish page to report.
#pragma once

#include <functional>
#include <string>

namespace qr5::uninstall {

struct RemovalResult {
  int removed = 0;  // files and shortcuts deleted
  // Ours, but it could not be removed (in use, read-only, unreadable, a
  // failed call, a step that ended in an exception): the records stay, so
  // the uninstaller can be run again.
  int left = 0;
};

// Told the percentage done and the path being removed.
using RemovalProgress = std::function<void(int percent, const std::string& path)>;

}  // namespace qr5::uninstall
