#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

namespace qr5::platform::win32 {

namespace {

constexpr char kWaitingParentVariable[] = "QR5_WAITING_PARENT";

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

  std::string GetCommandLine() override {
    const char* line = ::GetCommandLineA();
    return line != nullptr ? line : "";
  }

  // The started program is handed a handle of this process (inherited; its
  // value in an environment variable) with which it ends this process
  // before it deletes this program's file, which Windows keeps while it runs.
  bool StartProcessAndWait(const std::string& command_line, int* exit_code) override {
    HANDLE self = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), &self,
                           SYNCHRONIZE | PROCESS_TERMINATE, TRUE, 0)) {
      self = nullptr;
    }
    if (self != nullptr) {
      std::string value;
      for (uintptr_t n = reinterpret_cast<uintptr_t>(self); value.empty() || n != 0; n /= 10) {
        value.insert(value.begin(), static_cast<char>('0' + n % 10));
      }
      if (!::SetEnvironmentVariableA(kWaitingParentVariable, value.c_str())) {
        ::CloseHandle(self);
        self = nullptr;
      }
    }
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const BOOL ok = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, self != nullptr ? TRUE : FALSE, 0,
                                     nullptr, nullptr, &startup, &started);
    if (self != nullptr) {
      ::SetEnvironmentVariableA(kWaitingParentVariable, nullptr);
      ::CloseHandle(self);
    }
    if (!ok) return false;
    ::CloseHandle(started.hThread);
    ::WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(started.hProcess, &code)) code = 1;
    ::CloseHandle(started.hProcess);
    if (exit_code != nullptr) *exit_code = static_cast<int>(code);
    return true;
  }

  bool ReleaseWaitingParent(int exit_code) override {
    char value[24];
    const DWORD got = ::GetEnvironmentVariableA(kWaitingParentVariable, value, sizeof value);
    if (got == 0 || got >= sizeof value) return false;
    ::SetEnvironmentVariableA(kWaitingParentVariable, nullptr);  // once
    const HANDLE parent = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoul(value, nullptr, 10)));
    if (!::TerminateProcess(parent, static_cast<UINT>(exit_code))) {
      ::CloseHandle(parent);
      return false;
    }
    ::WaitForSingleObject(parent, 10000);
    ::CloseHandle(parent);
    return true;
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
