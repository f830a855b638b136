#include "platform/win32/win32_api.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace qr5::platform::win32 {

namespace {

// An IShellLinkA and the IPersistFile of the same object.
class Win32ShellLink : public ShellLink {
 public:
  Win32ShellLink(IShellLinkA* link, IPersistFile* file) : link_(link), file_(file) {}
  ~Win32ShellLink() override {
    file_->Release();
    link_->Release();
  }
  Win32ShellLink(const Win32ShellLink&) = delete;
  Win32ShellLink& operator=(const Win32ShellLink&) = delete;

  bool SetPath(const std::string& target) override {
    return SUCCEEDED(link_->SetPath(Z(target)));
  }

  bool SetWorkingDirectory(const std::string& folder) override {
    return SUCCEEDED(link_->SetWorkingDirectory(Z(folder)));
  }

  // IPersistFile takes UTF-16; paths are ANSI text. Empty on failure.
  static std::vector<WCHAR> Wide(const std::string& path) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, Z(path), -1, nullptr, 0);
    if (length <= 0) return {};
    std::vector<WCHAR> wide(length);
    if (::MultiByteToWideChar(CP_ACP, 0, Z(path), -1, wide.data(), length) != length) return {};
    return wide;
  }

  bool Save(const std::string& link_path) override {
    const std::vector<WCHAR> wide = Wide(link_path);
    return !wide.empty() && SUCCEEDED(file_->Save(wide.data(), FALSE));
  }

  bool Load(const std::string& link_path) override {
    const std::vector<WCHAR> wide = Wide(link_path);
    return !wide.empty() && SUCCEEDED(file_->Load(wide.data(), STGM_READ));
  }

  std::string GetPath() override {
    char path[MAX_PATH + 1] = {};
    if (FAILED(link_->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) return "";
    return path;
  }

 private:
  IShellLinkA* link_;
  IPersistFile* file_;
};

class Win32Com : public Com {
 public:
  // S_FALSE (already initialised on this thread) counts as success, and
  // needs its own CoUninitialize like S_OK.
  bool Initialize() override { return SUCCEEDED(::CoInitialize(nullptr)); }

  void Uninitialize() override { ::CoUninitialize(); }

  std::unique_ptr<ShellLink> CreateShellLink() override {
    IUnknown* object = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&object))))
      return nullptr;
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    const bool ok =
        SUCCEEDED(object->QueryInterface(IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    object->Release();
    if (!ok) {
      if (link != nullptr) link->Release();
      if (file != nullptr) file->Release();
      return nullptr;
    }
    return std::make_unique<Win32ShellLink>(link, file);
  }
};

}  // namespace

std::unique_ptr<Com> NewCom() { return std::make_unique<Win32Com>(); }

}  // namespace qr5::platform::win32
