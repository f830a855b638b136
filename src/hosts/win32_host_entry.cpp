// The Windows host of a suite program: the real machine and its windows.
#include "hosts/host_entry.h"

#include <windows.h>

#include "front_ends/win32/win32_front_end.h"
#include "platform/win32/win32_machine.h"

namespace qr5::hosts {

int RunOnWindows(void* instance, int show, ProgramMain run) {
  platform::win32::Win32Machine machine;
  platform::Install(&machine.machine());
  front_ends::win32::Win32FrontEnd front_end(static_cast<HINSTANCE>(instance), show);
  const int code = run(front_end);
  platform::Install(nullptr);
  return code;
}

}  // namespace qr5::hosts
