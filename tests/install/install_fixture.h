// A fresh simulated Windows XP machine with the demo setup (the sample suite
// appended to a stub) at D:\SETUP\QR5_Installer.exe and KAVO5.DLL beside it,
// plus the helpers the installation tests read the machine back with.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/scripted_front_end.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_reg_file.h"

namespace qr5::install::testing {

inline constexpr char kSetupExe[] = "D:\\SETUP\\QR5_Installer.exe";
inline constexpr char kUserProfile[] = "C:\\Documents and Settings\\User";
inline constexpr char kAllUsers[] = "C:\\Documents and Settings\\All Users";
inline constexpr char kEngineDir[] = "C:\\Program Files\\Borland\\Common Files\\BDE";

std::string ReadHostFile(const std::string& host_path);
void WriteHostFile(const std::string& host_path, const std::string& content);
// The sample suite as shipped (payload/suite of the source tree).
std::string SuiteSourceDir();
// The demo setup with the sample suite appended: the one the build made,
// else one made here from the suite with Info-ZIP zip.
std::string DemoSetupHostPath();

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new process on the same machine: the machine is opened afresh, the
  // application and the session start empty.
  void Reopen();

  platform::FileSystem& files() { return *platform::Sys().files; }
  std::string Host(const std::string& windows_path) { return sim_->HostPath(windows_path); }
  void WriteFile(const std::string& windows_path, const std::string& content);
  std::string ReadFile(const std::string& windows_path) { return ReadHostFile(Host(windows_path)); }
  bool FileExists(const std::string& windows_path);
  bool DirExists(const std::string& windows_path);
  void SetReadOnly(const std::string& windows_path);
  // The names in a folder (files and folders), sorted.
  std::vector<std::string> List(const std::string& windows_folder);

  // The registry as the machine keeps it, read back from its REGEDIT4 file.
  platform::sim::RegDatabase Registry();
  // A REG_SZ value's text; nullopt when the key or value is missing or not a
  // zero-terminated REG_SZ.
  std::optional<std::string> RegText(const std::string& full_key, const std::string& name);
  // A REG_DWORD value; nullopt when missing or of another type.
  std::optional<uint32_t> RegDword(const std::string& full_key, const std::string& name);
  // The value names of a key in their stored order.
  std::vector<std::string> RegValueNames(const std::string& full_key);
  void SetRegValue(platform::HKEY root, const std::string& key, const std::string& name,
                   uint32_t type, const std::vector<uint8_t>& data);
  void SetRegText(platform::HKEY root, const std::string& key, const std::string& name,
                  const std::string& text);

  void SetVersion(int32_t platform_id, int32_t major, int32_t minor, int32_t build,
                  const std::string& csd);

  std::string root_;
  std::unique_ptr<platform::sim::SimMachine> sim_;
  qr5::testing::ScriptedFrontEnd fe_;
};

}  // namespace qr5::install::testing
