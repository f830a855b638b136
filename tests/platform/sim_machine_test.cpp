// The simulated machine's root: its creation, its settings file, its
// registry file and how a running program finds it.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "platform/sim/sim_machine.h"
#include "sim_fixture.h"

using namespace qr5::platform;
using qr5::platform::sim::SimMachine;
using simtest::HostRead;
using simtest::HostWrite;

namespace {

class SimRoot : public simtest::SimMachineTest {};

std::string QueryText(Registry& registry, HKEY root, const std::string& key, const std::string& name) {
  HKEY handle = 0;
  if (registry.OpenKey(root, key, KeyAccess::kRead, &handle) != ERROR_SUCCESS) return "<no key>";
  char buffer[512] = {};
  uint32_t size = sizeof buffer;
  uint32_t type = 0;
  const long status = registry.QueryValue(handle, name, &type, reinterpret_cast<uint8_t*>(buffer), &size);
  registry.CloseKey(handle);
  return status == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

TEST_F(SimRoot, AFreshMachineLooksLikeWindowsXp) {
  EXPECT_EQ(files().GetLogicalDriveStrings(), std::string("C:\\\0D:\\\0", 8));
  EXPECT_EQ(files().GetTempPath(), "C:\\WINDOWS\\TEMP\\");
  EXPECT_NE(files().GetFileAttributes("C:\\WINDOWS\\TEMP"), INVALID_FILE_ATTRIBUTES);
  OsVersion version;
  ASSERT_TRUE(sim_->machine().system->GetVersion(&version));
  EXPECT_EQ(version.platform_id, 2);
  EXPECT_EQ(version.major, 5);
  EXPECT_EQ(version.minor, 1);
  EXPECT_EQ(version.build, 2600);
  EXPECT_EQ(version.csd_version, "Service Pack 2");
  EXPECT_EQ(sim_->machine().system->ThreadLanguageName(), "English (United States)");

  EXPECT_EQ(QueryText(registry(), HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                      "ProgramFilesDir"),
            "C:\\Program Files");
  const char* kUser = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  for (const char* name : {"Desktop", "Programs", "StartUp", "Start Menu", "Personal", "Favorites", "SendTo"}) {
    const std::string folder = QueryText(registry(), HKEY_CURRENT_USER, kUser, name);
    EXPECT_EQ(files().GetFileAttributes(folder), FILE_ATTRIBUTE_DIRECTORY) << name << " " << folder;
  }
  for (const char* name : {"Common Desktop", "Common Programs", "Common StartUp", "Common Start Menu"}) {
    const std::string folder = QueryText(registry(), HKEY_LOCAL_MACHINE, kUser, name);
    EXPECT_EQ(files().GetFileAttributes(folder), FILE_ATTRIBUTE_DIRECTORY) << name << " " << folder;
  }
}

TEST_F(SimRoot, CreatingAgainKeepsWhatExists) {
  HKEY key = 0;
  ASSERT_EQ(registry().CreateKey(HKEY_CURRENT_USER, "Quorlin5", &key), ERROR_SUCCESS);
  const uint8_t text[] = "English";
  ASSERT_EQ(registry().SetValue(key, "Language", REG_SZ, text, sizeof text), ERROR_SUCCESS);
  sim_->SetLanguageName("Italiano (Italia)");
  ASSERT_TRUE(Write("C:\\QR5.TXT", "kept"));
  SimMachine::CreateFresh(root_);
  Reopen();
  EXPECT_EQ(QueryText(registry(), HKEY_CURRENT_USER, "Quorlin5", "Language"), "English");
  EXPECT_EQ(sim_->machine().system->ThreadLanguageName(), "Italiano (Italia)");
  EXPECT_EQ(HostRead(sim_->HostPath("C:\\QR5.TXT")), "kept");
}

TEST_F(SimRoot, MissingSettingsAndRegistryFilesGiveDefaults) {
  ::unlink((root_ + "/machine.ini").c_str());
  ::unlink((root_ + "/registry.reg").c_str());
  Reopen();
  OsVersion version;
  ASSERT_TRUE(sim_->machine().system->GetVersion(&version));
  EXPECT_EQ(version.build, 2600);
  EXPECT_EQ(files().GetTempPath(), "C:\\WINDOWS\\TEMP\\");
  HKEY key = 0;
  EXPECT_EQ(registry().OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE", KeyAccess::kRead, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry().CreateKey(HKEY_CURRENT_USER, "Quorlin5", &key), ERROR_SUCCESS);
}

// The message of the exception for a broken file.
std::string OpenError(const std::string& root) {
  try {
    SimMachine::Open(root);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "<opened>";
}

TEST_F(SimRoot, AnUnparsableSettingsFileIsRefusedWithFileAndLine) {
  const std::string ini = root_ + "/machine.ini";
  HostWrite(ini, "[Version]\r\nMajor=5\r\nMinor=one\r\n");
  EXPECT_EQ(OpenError(root_), ini + ":3: \"Minor\" needs a number, found \"one\"");
  HostWrite(ini, "[Version]\nMajor=5\njust text\n");
  EXPECT_EQ(OpenError(root_), ini + ":3: expected key=value, found \"just text\"");
  HostWrite(ini, "; settings\n[Versoin]\n");
  EXPECT_EQ(OpenError(root_), ini + ":2: unknown section [Versoin]");
  HostWrite(ini, "[FreeSpace]\nCC=12\n");
  EXPECT_EQ(OpenError(root_), ini + ":2: [FreeSpace] keys are drive letters, found \"CC\"");
  HostWrite(ini, "[Locale]\nCodePage=1251\n");
  EXPECT_EQ(OpenError(root_), ini + ":2: CodePage 1251 is none of 1252, 932, 936, 949, 950");
  HostWrite(ini, "[Paths]\nTempDir=TEMP\n");
  EXPECT_NE(OpenError(root_).find(ini + ":2: TempDir"), std::string::npos);
}

TEST_F(SimRoot, AnUnparsableRegistryFileIsRefusedWithFileAndLine) {
  const std::string reg = root_ + "/registry.reg";
  HostWrite(reg, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Quorlin5]\r\n\"Language\"=dword:xyz\r\n");
  EXPECT_EQ(OpenError(root_), reg + ":4: dword needs 1 to 8 hex digits, found \"xyz\"");
  HostWrite(reg, "Windows Registry Editor Version 5.00\r\n");
  EXPECT_EQ(OpenError(root_), reg + ":1: expected the header REGEDIT4, found \"Windows Registry Editor Version 5.00\"");
  HostWrite(reg, "REGEDIT4\n\"Orphan\"=\"value\"\n");
  EXPECT_EQ(OpenError(root_), reg + ":2: value before the first key");
  HostWrite(reg, "REGEDIT4\n[HKEY_NOWHERE\\X]\n");
  EXPECT_EQ(OpenError(root_), reg + ":2: unknown root key \"HKEY_NOWHERE\"");
  HostWrite(reg, "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=hex:01,\\\n  zz\n");
  EXPECT_EQ(OpenError(root_), reg + ":3: expected two hex digits in \"01,zz\"");
  HostWrite(reg, "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"A\"=\"unterminated\n");
  EXPECT_EQ(OpenError(root_), reg + ":3: string without its closing quote");
}

TEST_F(SimRoot, ARegistryFileBrokenLaterFailsTheCallsNotTheProcess) {
  HostWrite(root_ + "/registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\n");
  HKEY key = 0;
  EXPECT_EQ(registry().OpenKey(HKEY_CURRENT_USER, "Quorlin5", KeyAccess::kRead, &key), 1009);
  EXPECT_EQ(registry().CreateKey(HKEY_CURRENT_USER, "Quorlin5", &key), 1009);
}

TEST_F(SimRoot, SettingsChangedByTestsReachTheFileAndOtherProcesses) {
  sim_->SetVersion(OsVersion{1, 4, 10, 0x040A08AE, " A "});
  sim_->SetLanguageName("Italiano");
  sim_->SetFreeSpace('d', 5000);
  EXPECT_FALSE(sim_->SetCodePage(1250));
  ASSERT_TRUE(sim_->SetCodePage(932));
  Reopen();
  EXPECT_TRUE(sim_->machine().system->IsLeadByte('\x83'));
  OsVersion version;
  ASSERT_TRUE(sim_->machine().system->GetVersion(&version));
  EXPECT_EQ(version.platform_id, 1);
  EXPECT_EQ(version.minor, 10);
  EXPECT_EQ(version.build, 0x040A08AE);
  EXPECT_EQ(version.csd_version, " A ");
  EXPECT_EQ(sim_->machine().system->ThreadLanguageName(), "Italiano");
  int64_t free_bytes = 0;
  ASSERT_TRUE(files().GetDiskFreeSpace("D:\\", &free_bytes));
  EXPECT_EQ(free_bytes, 5000);
  // The comments of the settings file are still there.
  EXPECT_NE(HostRead(root_ + "/machine.ini").find("; The simulated machine."), std::string::npos);
}

TEST_F(SimRoot, WritesBeyondTheFreeSpaceFailAsOnAFullDisk) {
  sim_->SetFreeSpace('C', 10);
  auto file = files().OpenFile("C:\\big.bin", OpenMode::kCreateAlways);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("12345678", 8));
  EXPECT_FALSE(file->Write("12345678", 8));
  EXPECT_EQ(files().GetLastError(), ERROR_DISK_FULL);
  // Rewriting bytes that exist takes no space.
  ASSERT_TRUE(file->Seek(0));
  EXPECT_TRUE(file->Write("abcdefgh", 8));
  int64_t free_bytes = -1;
  ASSERT_TRUE(files().GetDiskFreeSpace("C:\\", &free_bytes));
  EXPECT_EQ(free_bytes, 2);
}

TEST_F(SimRoot, ADriveWithoutMediumIsListedButNotReady) {
  sim_->SetDriveNotReady('A');
  EXPECT_EQ(files().GetLogicalDriveStrings(), std::string("A:\\\0C:\\\0D:\\\0", 12));
  int64_t free_bytes = 0;
  EXPECT_FALSE(files().GetDiskFreeSpace("A:\\", &free_bytes));
  EXPECT_EQ(files().GetLastError(), ERROR_NOT_READY);
  EXPECT_EQ(files().GetFileAttributes("A:\\"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(files().GetLastError(), ERROR_NOT_READY);
  EXPECT_FALSE(files().GetDiskFreeSpace("Q:\\", &free_bytes));
  EXPECT_EQ(files().GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(SimRoot, TheExecutableFindsItsMachineThroughItsDrive) {
  ::unsetenv("QR5_MACHINE");
  const std::string exe_dir = root_ + "/drives/D/Setup Disk";
  ASSERT_EQ(::mkdir(exe_dir.c_str(), 0755), 0);
  HostWrite(exe_dir + "/QR5_Installer", "");
  std::string windows_path;
  EXPECT_EQ(SimMachine::LocateRoot(exe_dir + "/QR5_Installer", &windows_path), sim_->root());
  EXPECT_EQ(windows_path, "D:\\Setup Disk\\QR5_Installer");

  EXPECT_EQ(SimMachine::LocateRoot("/usr/bin/env", &windows_path), "");
  EXPECT_EQ(windows_path, "");

  ::setenv("QR5_MACHINE", root_.c_str(), 1);
  EXPECT_EQ(SimMachine::LocateRoot("/usr/bin/env", &windows_path), sim_->root());
  EXPECT_EQ(windows_path, "");  // outside the machine's drives
  ::unsetenv("QR5_MACHINE");
}

TEST_F(SimRoot, TheModuleFileNameSetsTheCurrentFolder) {
  sim_->SetModuleFileName("D:\\QR5_Installer.exe");
  EXPECT_EQ(files().GetModuleFileName(), "D:\\QR5_Installer.exe");
  EXPECT_EQ(files().GetCurrentDirectory(), "D:\\");
  ASSERT_TRUE(Write("KAVO5.DLL", "dll"));
  EXPECT_EQ(HostRead(root_ + "/drives/D/KAVO5.DLL"), "dll");
}

}  // namespace

#endif  // _WIN32
