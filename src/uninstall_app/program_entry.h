// The uninstaller's entry, the same on every platform: the host installs
// the machine and the front end and calls RunUninstaller.
#pragma once

namespace qr5::forms {
class FrontEnd;
}

namespace qr5::uninstall {

// Runs the uninstaller to its end; returns the process exit code, 0.
int RunUninstaller(forms::FrontEnd& front_end);

}  // namespace qr5::uninstall
