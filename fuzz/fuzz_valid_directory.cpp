// libFuzzer target: IsValidDirectory against a reference written from the
// eleven path rules, on a machine whose drives are C: and D:. Result and
// normalised text must agree; a path that passes must pass again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pages/path_validation.h"
#include "platform/platform.h"

namespace pf = qr5::platform;

namespace {

// Only what the validation asks of the machine: drive roots and the error
// mode. Everything else fails.
// The rules consult the code page; the reference knows single bytes only.
class SingleBytePage : public pf::SystemInfo {
 public:
  std::string ThreadLanguageName() override { return ""; }
  bool GetVersion(pf::OsVersion*) override { return false; }
  std::string OemToAnsi(const std::string& oem) override { return oem; }
  bool IsLeadByte(char) override { return false; }
  std::string UpperCase(const std::string& text) override {
    std::string upper = text;
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
  }
};

class DrivesOnly : public pf::FileSystem {
 public:
  uint32_t GetLastError() const override { return pf::ERROR_FILE_NOT_FOUND; }
  std::string SystemErrorText(uint32_t) const override { return ""; }
  std::string GetModuleFileName() override { return "C:\\SETUP.EXE"; }
  std::string GetTempPath() override { return "C:\\TEMP\\"; }
  std::string GetCurrentDirectory() override { return "C:\\"; }
  std::string GetWindowsDirectory() override { return "C:\\WINDOWS"; }
  bool DeleteAtReboot(const std::string&) override { return false; }
  std::unique_ptr<pf::FileSearch> FindFirst(const std::string&, uint32_t) override { return nullptr; }
  bool DeleteFile(const std::string&) override { return false; }
  uint32_t GetFileAttributes(const std::string& path) override {
    if (path.size() == 3 && path[1] == ':' && path[2] == '\\' &&
        (path[0] == 'C' || path[0] == 'c' || path[0] == 'D' || path[0] == 'd')) {
      return pf::FILE_ATTRIBUTE_DIRECTORY;
    }
    return pf::INVALID_FILE_ATTRIBUTES;
  }
  bool SetFileAttributes(const std::string&, uint32_t) override { return false; }
  bool CreateDirectory(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  bool CopyFile(const std::string&, const std::string&, bool) override { return false; }
  bool MoveFileReplace(const std::string&, const std::string&) override { return false; }
  std::string GetLogicalDriveStrings() override { return std::string("C:\\\0D:\\\0", 8); }
  std::string GetShortPathName(const std::string&) override { return ""; }
  bool GetDiskFreeSpace(const std::string&, int64_t*) override { return false; }
  uint32_t SetErrorMode(uint32_t mode) override {
    const uint32_t old = mode_;
    mode_ = mode;
    return old;
  }
  std::unique_ptr<pf::File> OpenFile(const std::string&, pf::OpenMode) override { return nullptr; }

 private:
  uint32_t mode_ = 0;
};

bool BlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// The rules in their order; text receives what the field would show.
bool Reference(std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && BlankOrControl(text[b])) ++b;
  while (e > b && BlankOrControl(text[e - 1])) --e;
  text = text.substr(b, e - b);
  if (text.size() > 240) return false;
  if (text.rfind("\\\\", 0) == 0) return false;
  std::string n;
  for (size_t i = 0; i < text.size(); ++i) {
    // Two leading backslashes were refused above, so every run of two or
    // more starts at the second character or later: keep its first one.
    if (i >= 1 && text[i] == '\\' && text[i - 1] == '\\') continue;
    n.push_back(text[i]);
  }
  if (!n.empty() && n.back() == '\\' && !(n.size() >= 2 && n[n.size() - 2] == ':')) n.pop_back();
  while (!n.empty() && BlankOrControl(n.back())) n.pop_back();
  text = n;
  if (text.size() < 3) return false;
  const char d = text[0];
  if (!((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z')) || text[1] != ':' || text[2] != '\\') return false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= 31) return false;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ' && (i + 1 == text.size() || text[i + 1] == '\\')) return false;
  }
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\\', start);
    std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const size_t first = part.find_first_not_of(' ');
    const size_t last = part.find_last_not_of(' ');
    if (first != std::string::npos) {
      const std::string core = part.substr(first, last - first + 1);
      if (core.find_first_not_of('.') == std::string::npos) return false;
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  for (size_t i = 2; i < text.size(); ++i) {
    if (std::string("/:*?\"<>|").find(text[i]) != std::string::npos) return false;
  }
  return d == 'C' || d == 'c' || d == 'D' || d == 'd';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DrivesOnly files;
  static SingleBytePage system;
  static pf::Machine machine = [] {
    pf::Machine m;
    m.files = &files;
    m.system = &system;
    return m;
  }();
  pf::Install(&machine);

  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string text = input, expected = input;
  const bool valid = qr5::pages::IsValidDirectory(text);
  if (valid != Reference(expected) || text != expected) std::abort();
  if (text.size() > input.size()) std::abort();
  if (valid) {
    // Passing again, unchanged: except that blanks trimmed after the
    // backslash was removed can leave one at the end ("D:\a\ " gives
    // "D:\a\"), which the second pass removes.
    std::string again = text;
    if (!qr5::pages::IsValidDirectory(again)) std::abort();
    if (again != text && again + "\\" != text) std::abort();
  }
  return 0;
}
