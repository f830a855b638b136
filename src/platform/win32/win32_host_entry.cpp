// The Windows host of a suite program: the real machine and its windows.
#include "platform/host_entry.h"

#include <windows.h>

#include "platform/win32/win32_front_end.h"
#include "platform/win32/win32_machine.h"

namespace qr5::platform {

int RunOnWindows(void* instance, int show, ProgramMain run) {
  win32::Win32Machine machine;
  Install(&machine.machine());
  win32::Win32FrontEnd front_end(static_cast<HINSTANCE>(instance), show);
  const int code = run(front_end);
  Install(nullptr);
  return code;
}

}  // namespace qr5::platform
