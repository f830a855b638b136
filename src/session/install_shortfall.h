// The installation's outcome record: what did not work during the
// installation, gathered by the install actions and told to the user once
// at their end.
#pragma once

#include <string>
#include <vector>

namespace qr5::session {

struct InstallShortfall {
  int files_not_installed = 0;
  std::string first_file;             // full path of the first of them
  std::vector<std::string> failures;  // keys or files that could not be written, each once
  bool disk_full = false;
  bool setup_damaged = false;         // the setup file could not be read to its end
  bool Any() const {
    return files_not_installed > 0 || !failures.empty() || disk_full || setup_damaged;
  }
};

}  // namespace qr5::session
