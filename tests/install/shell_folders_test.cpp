// The Windows version text, the folder scope it selects, and the shell
// folder lookup for every kind, over the simulated registry.
#include <gtest/gtest.h>

#include <string>

#include "install/install_fixture.h"
#include "install/shell_folders.h"
#include "install/windows_version.h"

namespace qr5::install {
namespace {

using testing::InstallTest;
using testing::kAllUsers;
using testing::kUserProfile;

struct VersionCase {
  const char* label;
  platform::OsVersion version;
  const char* text;
  bool per_user;
};

// Build fields of the 9x family carry the version in their high word.
const VersionCase kVersions[] = {
    {"95", {1, 4, 0, 0x040003B6, ""}, "Microsoft Windows 95 Version 4.0 Build 67109814 ", true},
    {"95 OSR2", {1, 4, 0, 0x04000426, "B"}, "Microsoft Windows 95 OSR2 Version 4.0 Build 67109926 ", true},
    {"95 OSR2 C", {1, 4, 0, 0x04000457, "C"}, "Microsoft Windows 95 OSR2 Version 4.0 Build 67109975 ", true},
    // Only the first character counts, and only in upper case.
    {"95 blank B", {1, 4, 0, 0x04000426, " B"}, "Microsoft Windows 95 Version 4.0 Build 67109926 ", true},
    {"95 lower b", {1, 4, 0, 0x04000426, "b"}, "Microsoft Windows 95 Version 4.0 Build 67109926 ", true},
    {"98", {1, 4, 10, 0x040A07CE, ""}, "Microsoft Windows 98 Version 4.10 Build 67766222 ", true},
    {"98 SE", {1, 4, 10, 0x040A08AE, "A"}, "Microsoft Windows 98 SE Version 4.10 Build 67766446 ", true},
    {"ME", {1, 4, 90, 0x045A0BB8, ""}, "Microsoft Windows 98 ME Version 4.90 Build 73010104 ", true},
    {"9x minor unknown", {1, 4, 20, 0, ""}, "Microsoft Windows  Version 4.20 Build 0 ", false},
    {"9x major 5", {1, 5, 0, 0x05000000, ""},
     "Microsoft Windows 9x version (unknown) Version 5.0 Build 83886080 ", false},
    {"NT 4", {2, 4, 0, 1381, "Service Pack 6"}, "Microsoft Windows NT Version 4.0 Build 1381 Service Pack 6", false},
    {"2000 SP4", {2, 5, 0, 2195, "Service Pack 4"},
     "Microsoft Windows 2000 Version 5.0 Build 2195 Service Pack 4", false},
    {"XP SP2", {2, 5, 1, 2600, "Service Pack 2"}, "Microsoft Windows XP Version 5.1 Build 2600 Service Pack 2", false},
    {"Server 2003", {2, 5, 2, 3790, ""}, "Microsoft Windows Server 2003 Version 5.2 Build 3790 ", false},
    {"5.3", {2, 5, 3, 4000, ""}, "Microsoft Windows Future Windows version (unknown) Version 5.3 Build 4000 ", false},
    {"future NT", {2, 6, 0, 6000, ""},
     "Microsoft Windows Future Windows version (unknown) Version 6.0 Build 6000 ", false},
    {"Win32s", {0, 3, 10, 0, ""}, "Microsoft Windows  Version 3.10 Build 0 ", false},
    {"negative build", {2, 5, 1, -2, "Service Pack 3"}, "Microsoft Windows XP Version 5.1 Build -2 Service Pack 3", false},
};

TEST(WindowsVersionTextTest, NamesEveryVersionOfTheTable) {
  for (const VersionCase& c : kVersions) {
    EXPECT_EQ(WindowsVersionText(c.version), c.text) << c.label;
    const ShellScope scope = ShellScopeFor(c.text);
    EXPECT_EQ(scope.root, c.per_user ? platform::HKEY_CURRENT_USER : platform::HKEY_LOCAL_MACHINE) << c.label;
    EXPECT_EQ(scope.prefix, c.per_user ? "" : "Common ") << c.label;
  }
}

class ShellFoldersTest : public InstallTest {};

TEST_F(ShellFoldersTest, RunningVersionChoosesTheScopeOfTheFolders) {
  const std::string user = std::string(kUserProfile);
  const std::string all = std::string(kAllUsers);
  for (const VersionCase& c : kVersions) {
    sim_->SetVersion(c.version);
    EXPECT_EQ(GetWindowsVersionText(), c.text) << c.label;
    const std::string base = c.per_user ? user : all;
    EXPECT_EQ(GetShellFolder(sfPrograms), base + "\\Start Menu\\Programs") << c.label;
    EXPECT_EQ(GetShellFolder(sfDesktop), base + "\\Desktop") << c.label;
    EXPECT_EQ(GetShellFolder(sfStartUp), base + "\\Start Menu\\Programs\\Startup") << c.label;
    EXPECT_EQ(GetShellFolder(sfStartMenu), base + "\\Start Menu") << c.label;
  }
}

TEST_F(ShellFoldersTest, UnprefixedKindsComeFromTheScopesOwnKey) {
  // Per user: the user's own folders.
  SetVersion(1, 4, 10, 0x040A07CE, "");
  EXPECT_EQ(GetShellFolder(sfSendTo), std::string(kUserProfile) + "\\SendTo");
  EXPECT_EQ(GetShellFolder(sfPersonal), std::string(kUserProfile) + "\\My Documents");
  EXPECT_EQ(GetShellFolder(sfFavorites), std::string(kUserProfile) + "\\Favorites");
  // All users: the machine-wide key holds none of them.
  SetVersion(2, 5, 1, 2600, "Service Pack 2");
  EXPECT_EQ(GetShellFolder(sfSendTo), "");
  EXPECT_EQ(GetShellFolder(sfPersonal), "");
  EXPECT_EQ(GetShellFolder(sfFavorites), "");
  SetRegText(platform::HKEY_LOCAL_MACHINE,
             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Favorites",
             "C:\\Shared Favorites");
  EXPECT_EQ(GetShellFolder(sfFavorites), "C:\\Shared Favorites");
}

TEST_F(ShellFoldersTest, ValueNamesMatchWithoutRegardToCaseAndPathsComeAsStored) {
  SetRegText(platform::HKEY_LOCAL_MACHINE,
             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Common Startup",
             "E:\\Boot\\");
  EXPECT_EQ(GetShellFolder(sfStartUp), "E:\\Boot\\");
}

TEST_F(ShellFoldersTest, QuickLaunchIsReadPerUserFromGrpConvWhateverTheScope) {
  const std::string grpconv = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv";
  EXPECT_EQ(GetShellFolder(sfQuickLaunch), "");
  // The lookup makes the GrpConv key but no MapGroups below it.
  EXPECT_TRUE(Registry().Exists(grpconv));
  EXPECT_FALSE(Registry().Exists(grpconv + "\\MapGroups"));

  SetRegText(platform::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups",
             "Quick Launch", "C:\\QL");
  EXPECT_EQ(GetShellFolder(sfQuickLaunch), "C:\\QL");
  SetVersion(1, 4, 90, 0x045A0BB8, "");
  EXPECT_EQ(GetShellFolder(sfQuickLaunch), "C:\\QL");
}

TEST_F(ShellFoldersTest, KindsOutsideTheTableAreEmpty) {
  EXPECT_EQ(GetShellFolder(-1), "");
  EXPECT_EQ(GetShellFolder(8), "");
}

TEST_F(ShellFoldersTest, NoRightsOnTheMachineExplorerKeyLeaveEveryAllUsersFolderEmpty) {
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer");
  for (int kind = sfDesktop; kind <= sfFavorites; ++kind) EXPECT_EQ(GetShellFolder(kind), "") << kind;
  // The per-user scope is not affected.
  SetVersion(1, 4, 0, 0x040003B6, "");
  EXPECT_EQ(GetShellFolder(sfPrograms), std::string(kUserProfile) + "\\Start Menu\\Programs");
}

TEST_F(ShellFoldersTest, ANonTextFolderValueIsAnError) {
  SetRegValue(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
              "Common Programs", platform::REG_DWORD, {1, 0, 0, 0});
  try {
    GetShellFolder(sfPrograms);
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Common Programs'");
  }
}

}  // namespace
}  // namespace qr5::install
