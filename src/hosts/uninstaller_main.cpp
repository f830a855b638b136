// The host of the uninstaller: WinMain on Windows, main over a simulated
// Windows machine elsewhere.
#include "hosts/host_entry.h"
#include "uninstall_app/program_entry.h"

#ifdef _WIN32

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  return qr5::hosts::RunOnWindows(instance, show, &qr5::uninstall::RunUninstaller);
}

#else

int main(int argc, char** argv) {
  return qr5::hosts::RunOnSimulatedMachine(argc, argv, "QR5_UNINSTALLER.EXE", &qr5::uninstall::RunUninstaller);
}

#endif
