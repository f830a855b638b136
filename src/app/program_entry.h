// The program's entry, the same on every platform: the host (WinMain on
// Windows, main over the simulated machine) installs the machine and the
// front end and calls RunProgram.
#pragma once

namespace qr5::forms {
class FrontEnd;
}

namespace qr5::app {

// Runs the setup: the instance guard, COM, the ten forms, the message loop
// (the wizard runs in its idle event) and the clean-up of the language and
// license files in the temporary folder. Needs platform::Install() done.
// Takes the switches of the machine's command line; returns the exit code
// of session/run_outcome.h (1 for a second copy or a switch not taken).
int RunProgram(forms::FrontEnd& front_end);

}  // namespace qr5::app
