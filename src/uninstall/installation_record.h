// Which installation this run removes: the one in the folder the
// uninstaller was started from, when that folder holds the suite (its own
// installation, whatever a later installation elsewhere recorded), else
// the one the per-user record names.
#pragma once

#include <optional>
#include <string>

namespace qr5::uninstall {

struct Installation {
  std::string dir;            // canonical full path, no trailing backslash but on a root
  std::string language_file;  // dir + "\LANGUAGE" + its extension
};

// started_from: the folder the uninstaller was started from ("" when
// unknown). nullopt when neither that folder holds the suite nor a
// recorded folder exists.
std::optional<Installation> FindInstallation(const std::string& started_from);

}  // namespace qr5::uninstall
