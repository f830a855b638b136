// The host around a program of the suite: on Windows, the real system and
// its windows; elsewhere, a simulated Windows machine with the text console.
// The setup and the uninstaller differ only in the program they run.
#pragma once

#include <string>

namespace qr5::forms {
class FrontEnd;
}

namespace qr5::hosts {

using ProgramMain = int (*)(forms::FrontEnd& front_end);

#ifdef _WIN32
// From WinMain: installs the real machine and runs the program in windows.
int RunOnWindows(void* instance, int show, ProgramMain run);
#else
// From main: opens the machine the program lies on (or QR5_MACHINE), runs
// the program in the console with argv[1..] as its command line's switches,
// then lets a program it started carry on in this console. Exit code 2 when
// there is no machine.
int RunOnSimulatedMachine(int argc, char** argv, const std::string& program_name, ProgramMain run);
#endif

}  // namespace qr5::hosts
