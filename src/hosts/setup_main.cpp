// The host of the setup program: WinMain on Windows, main over a simulated
// Windows machine elsewhere.
#include "app/program_entry.h"
#include "hosts/host_entry.h"

#ifdef _WIN32

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  return qr5::hosts::RunOnWindows(instance, show, &qr5::app::RunProgram);
}

#else

int main(int argc, char** argv) {
  return qr5::hosts::RunOnSimulatedMachine(argc, argv, "QR5_Installer", &qr5::app::RunProgram);
}

#endif
