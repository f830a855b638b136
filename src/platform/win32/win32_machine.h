// The real Windows machine: every platform service over the Win32 API
// functions themselves. May be included before or after <windows.h>.
#pragma once

#include <memory>

#include "platform/win32/portable_headers.h"

namespace qr5::platform::win32 {

class Win32Machine {
 public:
  Win32Machine();
  ~Win32Machine();
  Win32Machine(const Win32Machine&) = delete;
  Win32Machine& operator=(const Win32Machine&) = delete;

  platform::Machine& machine();

 private:
  struct Services;
  std::unique_ptr<Services> services_;
  platform::Machine machine_;
};

}  // namespace qr5::platform::win32
