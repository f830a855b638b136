// The running Windows version as a text, and the shell-folder scope it
// selects: the current user's folders on Windows 95, 98 and ME, the
// all-users ("Common ") folders everywhere else.
#pragma once

#include <string>

#include "platform/platform.h"

namespace qr5::install {

// "Microsoft Windows XP Version 5.1 Build 2600 Service Pack 2" and so on.
std::string WindowsVersionText(const platform::OsVersion& version);
// The text for the running system (all numbers 0 when the version is
// unavailable).
std::string GetWindowsVersionText();

struct ShellScope {
  platform::HKEY root;
  std::string prefix;  // "" or "Common "
};
ShellScope ShellScopeFor(const std::string& version_text);

}  // namespace qr5::install
