// The installation's outcome record: what did not work during the
// installation, gathered by the install actions and told to the user once
// at their end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr5::session {

struct InstallShortfall {
  // A key or file that could not be written, and the Windows error why (0
  // when unknown).
  struct Failure {
    std::string what;
    uint32_t error = 0;
    bool operator==(const Failure&) const = default;
  };
  int files_not_installed = 0;
  std::string first_file;       // full path of the first of them
  uint32_t first_file_error = 0;  // and why it was not
  std::vector<Failure> failures;  // each once
  bool setup_damaged = false;     // the setup file could not be read to its end
  bool Any() const { return files_not_installed > 0 || !failures.empty() || setup_damaged; }
};

}  // namespace qr5::session
