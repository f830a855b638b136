// Reads back the parts of a Shell Link (.lnk) file that a shortcut's user
// relies on: where it points and where the target starts.
#pragma once

#include <optional>
#include <string>

namespace qr5::test {

struct ShellLinkFile {
  std::string target;             // LinkInfo local base path + common suffix
  std::string working_directory;  // StringData WORKING_DIR
  std::string arguments;          // StringData COMMAND_LINE_ARGUMENTS
  std::string description;        // StringData NAME_STRING
  bool has_id_list = false;
};

// Parses the file at host_path; nullopt when it is missing or malformed.
std::optional<ShellLinkFile> ReadShellLink(const std::string& host_path);

}  // namespace qr5::test
