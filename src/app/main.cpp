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

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

#include "platform/sim/console_front_end.h"
#include "platform/sim/sim_machine.h"

namespace {

// The path of this executable on the host.
std::string HostExecutablePath(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  return std::filesystem::absolute(argv0 != nullptr ? argv0 : "", error).string();
}

}  // namespace

int main(int argc, char** argv) {
  (void)argc;
  using qr5::platform::sim::SimMachine;
  const char* program = "QR5_Installer";
  std::unique_ptr<SimMachine> sim;
  try {
    std::string windows_exe;
    const std::string root = SimMachine::LocateRoot(HostExecutablePath(argv[0]), &windows_exe);
    const char* named = std::getenv("QR5_MACHINE");
    if (root.empty() && named != nullptr && *named != '\0') {
      std::cerr << program << ": QR5_MACHINE names " << named
                << ", which is not a simulated machine's root folder.\n";
      return 2;
    }
    if (root.empty()) {
      std::cerr << program << ": no simulated Windows machine found. Run the setup from a "
                   "machine's drive folder (<root>/drives/D/QR5_Installer) or name the machine "
                   "root in QR5_MACHINE.\n";
      return 2;
    }
    if (windows_exe.empty()) {
      std::cerr << program << ": the setup lies outside the drives of the machine " << root
                << "; copy it into one of them (for example " << root
                << "/drives/D/) and run it from there.\n";
      return 2;
    }
    sim = SimMachine::Open(root);
    sim->SetModuleFileName(windows_exe);
  } catch (const std::exception& e) {
    std::cerr << program << ": cannot open the simulated machine: " << e.what() << "\n";
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
