// The host of the setup program: WinMain on Windows, main over a simulated
// Windows machine elsewhere.
#include "app/program_entry.h"
#include "platform/host_entry.h"

#ifdef _WIN32

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  return qr5::platform::RunOnWindows(instance, show, &qr5::app::RunProgram);
}

#else

int main(int, char** argv) {
  return qr5::platform::RunOnSimulatedMachine(argv[0], "QR5_Installer", &qr5::app::RunProgram);
}

#endif
