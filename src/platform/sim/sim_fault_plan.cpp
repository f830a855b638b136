// The fault plan's services: each forwards to the inner machine's, after
// asking the plan whether this mutating operation is the one to fail.
#include "platform/sim/sim_fault_plan.h"

#include <utility>

namespace qr5::platform::sim {

namespace {

const char* ModeName(OpenMode mode) {
  switch (mode) {
    case OpenMode::kRead: return "read";
    case OpenMode::kReadDenyWrite: return "read deny write";
    case OpenMode::kReadWrite: return "read write";
    case OpenMode::kCreateAlways: return "create always";
    case OpenMode::kCreateNew: return "create new";
  }
  return "create";
}

// Any mode but the two reading ones may create or change the file.
bool Writes(OpenMode mode) { return mode != OpenMode::kRead && mode != OpenMode::kReadDenyWrite; }

class PlannedFile : public File {
 public:
  PlannedFile(FaultPlan& plan, std::unique_ptr<File> inner, std::string path)
      : plan_(plan), inner_(std::move(inner)), path_(std::move(path)) {}
  bool Read(void* buffer, uint32_t size, uint32_t* got) override { return Forward(inner_->Read(buffer, size, got)); }
  bool Write(const void* buffer, uint32_t size) override {
    if (plan_.Fails("WriteFile " + path_)) return false;
    return Forward(inner_->Write(buffer, size));
  }
  bool Seek(int64_t position) override { return Forward(inner_->Seek(position)); }
  int64_t Position() override { return inner_->Position(); }
  int64_t Size() override { return inner_->Size(); }
  bool GetTime(FileTime* last_write) override { return Forward(inner_->GetTime(last_write)); }
  bool SetTime(FileTime last_write) override { return Forward(inner_->SetTime(last_write)); }
  bool Flush() override { return Forward(inner_->Flush()); }

 private:
  // A failing inner call sets the inner machine's error, which is then the last.
  bool Forward(bool ok) {
    if (!ok) plan_.ClearInjected();
    return ok;
  }
  FaultPlan& plan_;
  std::unique_ptr<File> inner_;
  std::string path_;
};

class PlannedFileSystem : public FileSystem {
 public:
  PlannedFileSystem(FaultPlan& plan, FileSystem& inner) : plan_(plan), in_(inner) {}
  uint32_t GetLastError() const override { return plan_.injected() ? plan_.error() : in_.GetLastError(); }
  std::string SystemErrorText(uint32_t code) const override { return in_.SystemErrorText(code); }
  std::string GetModuleFileName() override { return in_.GetModuleFileName(); }
  std::string GetTempPath() override { return in_.GetTempPath(); }
  std::string GetCurrentDirectory() override { return in_.GetCurrentDirectory(); }
  std::string GetWindowsDirectory() override { return in_.GetWindowsDirectory(); }
  std::unique_ptr<FileSearch> FindFirst(const std::string& path_mask, uint32_t attribute_mask) override {
    std::unique_ptr<FileSearch> search = in_.FindFirst(path_mask, attribute_mask);
    if (!search) plan_.ClearInjected();
    return search;
  }
  bool DeleteFile(const std::string& path) override {
    return !plan_.Fails("DeleteFile " + path) && Forward(in_.DeleteFile(path));
  }
  uint32_t GetFileAttributes(const std::string& path) override {
    const uint32_t attributes = in_.GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) plan_.ClearInjected();
    return attributes;
  }
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
    return !plan_.Fails("SetFileAttributes " + path) && Forward(in_.SetFileAttributes(path, attributes));
  }
  bool CreateDirectory(const std::string& path) override {
    return !plan_.Fails("CreateDirectory " + path) && Forward(in_.CreateDirectory(path));
  }
  bool RemoveDirectory(const std::string& path) override {
    return !plan_.Fails("RemoveDirectory " + path) && Forward(in_.RemoveDirectory(path));
  }
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override {
    return !plan_.Fails("CopyFile " + from + " -> " + to) && Forward(in_.CopyFile(from, to, fail_if_exists));
  }
  bool MoveFileReplace(const std::string& from, const std::string& to) override {
    return !plan_.Fails("MoveFile " + from + " -> " + to) && Forward(in_.MoveFileReplace(from, to));
  }
  bool DeleteAtReboot(const std::string& path) override {
    return !plan_.Fails("DeleteAtReboot " + path) && Forward(in_.DeleteAtReboot(path));
  }
  std::string GetLogicalDriveStrings() override { return in_.GetLogicalDriveStrings(); }
  std::string GetShortPathName(const std::string& path) override {
    std::string name = in_.GetShortPathName(path);
    if (name.empty()) plan_.ClearInjected();
    return name;
  }
  bool GetDiskFreeSpace(const std::string& root_path, int64_t* free_bytes) override {
    return Forward(in_.GetDiskFreeSpace(root_path, free_bytes));
  }
  uint32_t SetErrorMode(uint32_t mode) override { return in_.SetErrorMode(mode); }
  std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) override {
    if (Writes(mode) && plan_.Fails(std::string("CreateFile ") + ModeName(mode) + " " + path)) return nullptr;
    std::unique_ptr<File> file = in_.OpenFile(path, mode);
    if (!file) {
      plan_.ClearInjected();
      return nullptr;
    }
    return std::make_unique<PlannedFile>(plan_, std::move(file), path);
  }

 private:
  bool Forward(bool ok) {
    if (!ok) plan_.ClearInjected();
    return ok;
  }
  FaultPlan& plan_;
  FileSystem& in_;
};

class PlannedProfile : public Profile {
 public:
  PlannedProfile(FaultPlan& plan, Profile& inner) : plan_(plan), in_(inner) {}
  std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& default_value) override {
    return in_.GetString(file, section, key, default_value);
  }
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (plan_.Fails("WritePrivateProfileString " + file + " [" + section + "] " + key)) return false;
    const bool ok = in_.WriteString(file, section, key, value);
    if (!ok) plan_.ClearInjected();
    return ok;
  }

 private:
  FaultPlan& plan_;
  Profile& in_;
};

class PlannedRegistry : public Registry {
 public:
  PlannedRegistry(FaultPlan& plan, Registry& inner) : plan_(plan), in_(inner) {}
  long OpenKey(HKEY root, const std::string& sub_key, KeyAccess access, HKEY* result) override {
    if (access == KeyAccess::kWrite && plan_.Fails("RegOpenKey " + sub_key)) return static_cast<long>(plan_.error());
    return in_.OpenKey(root, sub_key, access, result);
  }
  long CreateKey(HKEY root, const std::string& sub_key, HKEY* result) override {
    if (plan_.Fails("RegCreateKey " + sub_key)) return static_cast<long>(plan_.error());
    return in_.CreateKey(root, sub_key, result);
  }
  long QueryValue(HKEY key, const std::string& name, uint32_t* type, uint8_t* data, uint32_t* size) override {
    return in_.QueryValue(key, name, type, data, size);
  }
  long SetValue(HKEY key, const std::string& name, uint32_t type, const uint8_t* data, uint32_t size) override {
    if (plan_.Fails("RegSetValue " + name)) return static_cast<long>(plan_.error());
    return in_.SetValue(key, name, type, data, size);
  }
  long CloseKey(HKEY key) override { return in_.CloseKey(key); }
  long DeleteValue(HKEY key, const std::string& name) override {
    if (plan_.Fails("RegDeleteValue " + name)) return static_cast<long>(plan_.error());
    return in_.DeleteValue(key, name);
  }
  long DeleteKey(HKEY parent, const std::string& sub_key) override {
    if (plan_.Fails("RegDeleteKey " + sub_key)) return static_cast<long>(plan_.error());
    return in_.DeleteKey(parent, sub_key);
  }

 private:
  FaultPlan& plan_;
  Registry& in_;
};

class PlannedShellLink : public ShellLink {
 public:
  PlannedShellLink(FaultPlan& plan, std::unique_ptr<ShellLink> inner) : plan_(plan), in_(std::move(inner)) {}
  bool SetPath(const std::string& target) override { return in_->SetPath(target); }
  bool SetWorkingDirectory(const std::string& folder) override { return in_->SetWorkingDirectory(folder); }
  bool Save(const std::string& link_path) override {
    if (plan_.Fails("IPersistFile::Save " + link_path)) return false;
    const bool ok = in_->Save(link_path);
    if (!ok) plan_.ClearInjected();
    return ok;
  }
  bool Load(const std::string& link_path) override { return in_->Load(link_path); }
  std::string GetPath() override { return in_->GetPath(); }

 private:
  FaultPlan& plan_;
  std::unique_ptr<ShellLink> in_;
};

class PlannedCom : public Com {
 public:
  PlannedCom(FaultPlan& plan, Com& inner) : plan_(plan), in_(inner) {}
  bool Initialize() override { return in_.Initialize(); }
  void Uninitialize() override { in_.Uninitialize(); }
  std::unique_ptr<ShellLink> CreateShellLink() override {
    std::unique_ptr<ShellLink> link = in_.CreateShellLink();
    if (!link) return nullptr;
    return std::make_unique<PlannedShellLink>(plan_, std::move(link));
  }

 private:
  FaultPlan& plan_;
  Com& in_;
};

}  // namespace

struct FaultPlan::Services {
  Services(FaultPlan& plan, Machine& inner)
      : files(plan, *inner.files), profile(plan, *inner.profile), registry(plan, *inner.registry),
        com(plan, *inner.com) {
    machine = inner;
    machine.files = &files;
    machine.profile = &profile;
    machine.registry = &registry;
    machine.com = &com;
  }
  PlannedFileSystem files;
  PlannedProfile profile;
  PlannedRegistry registry;
  PlannedCom com;
  Machine machine;
};

FaultPlan::FaultPlan(Machine& inner) : services_(std::make_unique<Services>(*this, inner)) {}
FaultPlan::~FaultPlan() = default;

Machine& FaultPlan::machine() { return services_->machine; }

void FaultPlan::FailAt(int64_t k, uint32_t error) {
  fail_at_ = k;
  error_ = error;
  count_ = 0;
  injected_ = false;
  failed_ = false;
  failed_operation_.clear();
}

int64_t FaultPlan::operations() const { return count_; }
bool FaultPlan::failed() const { return failed_; }
const std::string& FaultPlan::failed_operation() const { return failed_operation_; }

bool FaultPlan::Fails(const std::string& what) {
  if (++count_ != fail_at_) return false;
  failed_ = true;
  injected_ = true;
  failed_operation_ = what;
  return true;
}

bool FaultPlan::injected() const { return injected_; }
uint32_t FaultPlan::error() const { return error_; }
void FaultPlan::ClearInjected() { injected_ = false; }

}  // namespace qr5::platform::sim
