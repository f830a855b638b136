// What the setup recorded of the installation: the per-user record's
// language and folder, and what follows from them.
#pragma once

#include <optional>
#include <string>

namespace qr5::uninstall {

struct Installation {
  std::string dir;            // "Installation Path", no trailing backslash
  std::string language_name;  // "Language", e.g. "Italiano"
  std::string language_file;  // dir + "\LANGUAGE" + its extension
};

// The recorded installation; nullopt when the record is missing, unreadable
// or empty, or when its folder does not exist.
std::optional<Installation> FindInstallation();

}  // namespace qr5::uninstall
