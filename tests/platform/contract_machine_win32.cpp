// The contract tests' machine on Windows (and under Wine): the real API.
// Scratch folders lie in the temporary folder and are removed when the test
// program ends; a child process is this program started once more.
#ifdef _WIN32

#include "contract_machine.h"
#include "platform/win32/win32_machine.h"

#include <windows.h>
// The interface's methods, not the generic macros of <windows.h>.
#undef CreateDirectory
#undef DeleteFile
#undef GetModuleFileName
#undef GetTempPath
#undef RemoveDirectory
#undef SetFileAttributes

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr const char* kArgumentVariable = "QR5_CONTRACT_CHILD";

qr5::platform::FileSystem& Fs() { return *ContractMachine().files; }

// Deletes a folder with everything in it, read-only entries included.
void RemoveTree(const std::string& folder) {
  if (auto search = Fs().FindFirst(folder + "\\*", 0x37)) {
    do {
      const qr5::platform::FindData& entry = search->Current();
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = folder + "\\" + entry.name;
      Fs().SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
      if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        Fs().DeleteFile(path);
      }
    } while (search->Next());
  }
  Fs().RemoveDirectory(folder);
}

struct ContractWin32 {
  qr5::platform::win32::Win32Machine machine;
  std::vector<std::string> scratch;
  int scratch_count = 0;

  ContractWin32() { qr5::platform::Install(&machine.machine()); }
  ~ContractWin32() {
    for (const std::string& folder : scratch) RemoveTree(folder);
  }
};

ContractWin32& Win32() {
  static ContractWin32 instance;
  return instance;
}

}  // namespace

qr5::platform::Machine& ContractMachine() { return Win32().machine.machine(); }

std::string ContractScratchDir() {
  ContractWin32& w = Win32();
  std::string temp = Fs().GetTempPath();
  if (temp.empty()) throw std::runtime_error("no temporary folder");
  for (;;) {
    const std::string path = temp + "QR5 Scratch " + std::to_string(::GetCurrentProcessId()) +
                             "-" + std::to_string(++w.scratch_count);
    if (Fs().CreateDirectory(path)) {
      w.scratch.push_back(path);
      return path;
    }
    if (Fs().GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot create the scratch folder " + path);
  }
}

int ContractRunChild(const std::string& test_name, const std::string& argument) {
  const std::string self = Fs().GetModuleFileName();
  std::string command = "\"" + self + "\" --gtest_filter=" + test_name;
  // The child's own test report would only clutter the parent's.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE nul = ::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inheritable, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = nul;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  ::SetEnvironmentVariableA(kArgumentVariable, argument.c_str());
  const BOOL started = ::CreateProcessA(self.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
  ::SetEnvironmentVariableA(kArgumentVariable, nullptr);
  if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
  if (!started) return -1;
  DWORD code = 0;
  const bool finished = ::WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                        ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return finished ? static_cast<int>(code) : -1;
}

std::string ContractChildArgument() {
  const char* argument = std::getenv(kArgumentVariable);
  return argument == nullptr ? "" : argument;
}

#endif  // _WIN32
