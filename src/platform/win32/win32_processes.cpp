#include <vector>

#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

namespace {

// Mutex handles are never closed: a named mutex lives as long as a handle to
// it, and the instance guard relies on it living as long as the process.
class Win32Processes : public Processes {
 public:
  bool OpenMutex(const std::string& name) override {
    return Keep(::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, Z(name)));
  }

  bool CreateMutex(const std::string& name) override {
    return Keep(::CreateMutexA(nullptr, FALSE, Z(name)));
  }

  bool StartProcess(const std::string& command_line) override {
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
      return false;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
  }

  std::string GetCommandLine() override { return ::GetCommandLineA(); }

 private:
  bool Keep(HANDLE handle) {
    if (handle == nullptr) return false;
    kept_.push_back(handle);
    return true;
  }

  std::vector<HANDLE> kept_;
};

}  // namespace

std::unique_ptr<Processes> NewProcesses() { return std::make_unique<Win32Processes>(); }

}  // namespace qr5::platform::win32
