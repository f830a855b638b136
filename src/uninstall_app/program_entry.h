// The uninstaller's entry, the same on every platform: the host installs
// the machine and the front end and calls RunUninstaller.
#pragma once

namespace qr5::forms {
class FrontEnd;
}

namespace qr5::uninstall {

// Runs the uninstaller to its end with the switches of the machine's
// command line; returns the exit code: 0 removed, 1 could not start (a
// switch not taken, nothing installed), 2 cancelled, 4 something left.
int RunUninstaller(forms::FrontEnd& front_end);

}  // namespace qr5::uninstall
