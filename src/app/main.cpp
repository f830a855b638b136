// The host of the setup program. On Windows: WinMain over the real system
// and its windows. Elsewhere: main over a simulated Windows machine, with
// the text console as the user interface.
#include "app/program_entry.h"

#ifdef _WIN32

#include <windows.h>

#include "platform/win32/win32_front_end.h"
#include "platform/win32/win32_machine.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  qr5::platform::win32::Win32Machine machine;
  qr5::platform::Install(&machine.machine());
  qr5::platform::win32::Win32FrontEnd front_end(instance, show);
  const int code = qr5::app::RunProgram(front_end);
  qr5::platform::Install(nullptr);
  return code;
}

#else

#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>

#include "platform/sim/console_front_end.h"
#include "platform/sim/sim_host_program.h"

int main(int, char** argv) {
  std::string error;
  std::unique_ptr<qr5::platform::sim::SimMachine> sim =
      qr5::platform::sim::OpenHostMachine(argv[0], "QR5_Installer", &error);
  if (!sim) {
    std::cerr << error << "\n";
    return 2;
  }
  qr5::platform::Install(&sim->machine());
  qr5::platform::sim::ConsoleFrontEnd console(std::cin, std::cout);
  // Actions replayed from a file are not echoed by a terminal: show them.
  console.echo = !isatty(STDIN_FILENO);
  const int code = qr5::app::RunProgram(console);
  qr5::platform::Install(nullptr);
  return code;
}

#endif
