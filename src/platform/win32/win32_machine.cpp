#include "platform/win32/win32_machine.h"

#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

struct Win32Machine::Services {
  std::unique_ptr<FileSystem> files = NewFileSystem();
  std::unique_ptr<Profile> profile = NewProfile();
  std::unique_ptr<Registry> registry = NewRegistry();
  std::unique_ptr<SystemInfo> system = NewSystemInfo();
  std::unique_ptr<Processes> processes = NewProcesses();
  std::unique_ptr<Com> com = NewCom();
};

Win32Machine::Win32Machine() : services_(std::make_unique<Services>()) {
  machine_.files = services_->files.get();
  machine_.profile = services_->profile.get();
  machine_.registry = services_->registry.get();
  machine_.system = services_->system.get();
  machine_.processes = services_->processes.get();
  machine_.com = services_->com.get();
}

Win32Machine::~Win32Machine() = default;

platform::Machine& Win32Machine::machine() { return machine_; }

}  // namespace qr5::platform::win32
