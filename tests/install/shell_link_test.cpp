// Shortcuts and group folders: real .lnk files read back with an
// MS-SHLLINK reader of our own and, where installed, Debian's lnkinfo.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "install/install_fixture.h"
#include "install/lnk_reader.h"
#include "install/remove_shell_sub_folder.h"
#include "install/shell_link.h"
#include "session/session_state.h"

namespace qr5::install {
namespace {

using testing::InstallTest;
using testing::kAllUsers;
using testing::kUserProfile;

const std::string kCommonPrograms = std::string(kAllUsers) + "\\Start Menu\\Programs";

class ShellLinkTest : public InstallTest {
 protected:
  void SetUp() override {
    InstallTest::SetUp();
    ASSERT_TRUE(platform::Sys().com->Initialize());
  }
  void TearDown() override {
    platform::Sys().com->Uninitialize();
    InstallTest::TearDown();
  }
  std::optional<qr5::test::ShellLinkFile> Link(const std::string& windows_path) {
    return qr5::test::ReadShellLink(Host(windows_path));
  }
};

TEST(LinkFileNameTest, CharactersWindowsForbidsBecomeDashes) {
  EXPECT_EQ(LinkFileName("Safekeep/Restore manual"), "Safekeep-Restore manual");
  EXPECT_EQ(LinkFileName("a\\b/c:d*e?f\"g<h>i|j"), "a-b-c-d-e-f-g-h-i-j");
  EXPECT_EQ(LinkFileName("Manuel de Quorlin 5 (\xE9" "dition)"), "Manuel de Quorlin 5 (\xE9" "dition)");
}

TEST_F(ShellLinkTest, LinkPointsAtItsTargetAndStartsInTheTargetsFolder) {
  CreateShellLink("C:\\QR5\\QR5.EXE", "Quorlin 5", sfDesktop, "\\Quorlin 5");
  const auto link = Link(std::string(kAllUsers) + "\\Desktop\\Quorlin 5.lnk");
  ASSERT_TRUE(link) << "no shortcut on the all-users desktop";
  EXPECT_EQ(link->target, "C:\\QR5\\QR5.EXE");
  EXPECT_EQ(link->working_directory, "C:\\QR5\\");
  EXPECT_EQ(link->arguments, "");
  EXPECT_EQ(link->description, "");
  // The sub-path counts for the Programs folder only.
  EXPECT_FALSE(DirExists(std::string(kAllUsers) + "\\Desktop\\Quorlin 5"));
}

TEST_F(ShellLinkTest, LnkinfoReadsTheSameTargetAndWorkingFolder) {
  if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "lnkinfo is not installed";
  CreateShellLink("C:\\QR5\\HERALDO.EXE", "Heraldo", sfStartUp, "");
  const std::string host = Host(std::string(kAllUsers) + "\\Start Menu\\Programs\\Startup\\Heraldo.lnk");
  ASSERT_TRUE(std::filesystem::exists(host));
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(("lnkinfo '" + host + "' 2>&1").c_str(), "r"), ::pclose);
  ASSERT_TRUE(pipe);
  std::string out;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  EXPECT_NE(out.find("C:\\QR5\\HERALDO.EXE"), std::string::npos) << out;
  EXPECT_NE(out.find("Working directory"), std::string::npos) << out;
  EXPECT_NE(out.find(": C:\\QR5\\\n"), std::string::npos) << out;
}

TEST_F(ShellLinkTest, ACaptionWithAForbiddenCharacterStillGivesItsShortcut) {
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5");
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5\\Manuals");
  CreateShellLink("C:\\QR5\\DOC\\ENG\\SAFEKEEP.PDF", "Safekeep/Restore manual", sfPrograms, "\\Quorlin 5\\Manuals");
  EXPECT_EQ(List(kCommonPrograms + "\\Quorlin 5\\Manuals"),
            std::vector<std::string>{"Safekeep-Restore manual.lnk"});
  const auto link = Link(kCommonPrograms + "\\Quorlin 5\\Manuals\\Safekeep-Restore manual.lnk");
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "C:\\QR5\\DOC\\ENG\\SAFEKEEP.PDF");
}

TEST_F(ShellLinkTest, ASecondLinkOfTheSameNameReplacesTheFirst) {
  CreateShellLink("C:\\QR5\\QR5.EXE", "Quorlin 5", sfDesktop, "");
  CreateShellLink("D:\\QR5\\QR5.EXE", "Quorlin 5", sfDesktop, "");
  const auto link = Link(std::string(kAllUsers) + "\\Desktop\\Quorlin 5.lnk");
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "D:\\QR5\\QR5.EXE");
}

TEST_F(ShellLinkTest, PerUserFoldersOnTheWindows95Family) {
  SetVersion(1, 4, 90, 0x045A0BB8, "");
  CreateShellLink("C:\\QR5\\QR5.EXE", "Quorlin 5", sfDesktop, "");
  EXPECT_TRUE(Link(std::string(kUserProfile) + "\\Desktop\\Quorlin 5.lnk"));
  EXPECT_FALSE(FileExists(std::string(kAllUsers) + "\\Desktop\\Quorlin 5.lnk"));
}

TEST_F(ShellLinkTest, AnUnknownShellFolderMakesNothing) {
  sim_->DenyRegistryKey(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer");
  EXPECT_NO_THROW(CreateShellSubFolder(sfPrograms, "\\Quorlin 5"));
  EXPECT_NO_THROW(CreateShellLink("C:\\QR5\\QR5.EXE", "Quorlin 5", sfPrograms, "\\Quorlin 5"));
  EXPECT_NO_THROW(RemoveShellSubFolder("\\Quorlin 5", "C:\\QR5"));
  EXPECT_EQ(List(kCommonPrograms), std::vector<std::string>{"Startup"});
}

TEST_F(ShellLinkTest, WithoutComTheShortcutIsAnError) {
  platform::Sys().com->Uninitialize();
  EXPECT_THROW(CreateShellLink("C:\\QR5\\QR5.EXE", "Quorlin 5", sfDesktop, ""), std::exception);
  EXPECT_FALSE(FileExists(std::string(kAllUsers) + "\\Desktop\\Quorlin 5.lnk"));
  ASSERT_TRUE(platform::Sys().com->Initialize());
}

TEST_F(ShellLinkTest, SubFoldersAreMadeOneLevelAtATime) {
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5\\Manuals");
  EXPECT_FALSE(DirExists(kCommonPrograms + "\\Quorlin 5"));
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5");
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5");  // existing: no error
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5\\Manuals");
  EXPECT_TRUE(DirExists(kCommonPrograms + "\\Quorlin 5\\Manuals"));
}

TEST_F(ShellLinkTest, RemovingTheOldGroupTakesOnlyItsShortcutsIntoTheFolderAlsoReadOnlyOnes) {
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5");
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5\\Manuals");
  CreateShellSubFolder(sfPrograms, "\\Quorlin 5\\Mine");
  CreateShellLink("C:\\QR5\\QR5.EXE", "Quorlin 5", sfPrograms, "\\Quorlin 5");
  CreateShellLink("c:\\qr5\\DOC\\ENG\\QUORLIN5.PDF", "Quorlin 5 manual", sfPrograms, "\\Quorlin 5\\Manuals");
  CreateShellLink("C:\\QR5X\\LOG.EXE", "My logbook", sfPrograms, "\\Quorlin 5");
  WriteFile(kCommonPrograms + "\\Quorlin 5\\Mine\\notes.txt", "the user's");
  SetReadOnly(kCommonPrograms + "\\Quorlin 5\\Manuals\\Quorlin 5 manual.lnk");
  CreateShellSubFolder(sfPrograms, "\\Other");

  RemoveShellSubFolder("\\Quorlin 5", "C:\\QR5");
  EXPECT_EQ(List(kCommonPrograms + "\\Quorlin 5"), (std::vector<std::string>{"Mine", "My logbook.lnk"}));
  EXPECT_TRUE(FileExists(kCommonPrograms + "\\Quorlin 5\\Mine\\notes.txt"));
  EXPECT_TRUE(DirExists(kCommonPrograms + "\\Other"));
  EXPECT_TRUE(session::Session().Shortfall.failures.empty());
  EXPECT_NO_THROW(RemoveShellSubFolder("\\Quorlin 5", "C:\\QR5"));  // nothing left to remove
}

}  // namespace
}  // namespace qr5::install
