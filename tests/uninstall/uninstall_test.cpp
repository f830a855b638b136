// The whole life of an installation on the simulated machine: the setup
// driven through its pages, then the installed QR5_UNINSTALLER.EXE through
// its own (from the copy it starts in the temporary folder), and the machine
// compared with what it was before.
#include <gtest/gtest.h>

#include <string>

#include "uninstall/uninstall_fixture.h"

namespace qr5::uninstall {
namespace {

using namespace qr5::uninstall::testing;

TEST_F(UninstallTest, EnglishInstallationRemovedThroughThePagesLeavesOnlyTheEngine) {
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  ASSERT_TRUE(FileExists(kDesktopLink));
  // A link the user copied: its name in capitals, its target in other letter
  // case than the install folder. Still ours, and the group still goes.
  {
    ASSERT_TRUE(platform::Sys().com->Initialize());
    std::unique_ptr<platform::ShellLink> copy = platform::Sys().com->CreateShellLink();
    ASSERT_TRUE(copy && copy->SetPath("c:\\qr5\\qr5.exe") && copy->Save(kGroup + "\\LOGBOOK.LNK"));
    platform::Sys().com->Uninitialize();
  }
  std::string finish;
  Uninstall(ThroughThePages(&finish));
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_EQ(fe_.boxes.size(), 0u);
  EXPECT_FALSE(DirExists("C:\\QR5"));
  EXPECT_FALSE(DirExists(kGroup));
  ExpectOnlyLeftovers(fresh);

  // Nothing is recorded any more: a second run says so and changes nothing.
  const Snapshot after = Take();
  Run("D:\\SETUP\\QR5_UNINSTALLER.EXE", {});
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Quorlin 5 is not installed on this computer.");
  EXPECT_TRUE(fe_.shown.empty());
  EXPECT_TRUE(Changed(after.files, Take().files).empty());
}

TEST_F(UninstallTest, ItalianOverAnEarlierEnglishInstallationInAnotherFolder) {
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  Install("Italiano", "D:\\My Apps\\QR5");
  const Snapshot two = Take();
  std::string finish;
  Uninstall(ThroughThePages(&finish));
  EXPECT_EQ(finish, "Quorlin 5 \xE8 stato rimosso dal computer.") << finish;
  EXPECT_FALSE(DirExists("D:\\My Apps\\QR5"));
  // The earlier installation's folder is no longer recorded: it stays whole;
  // so does D:\My Apps, which the setup made above the folder it was given.
  EXPECT_TRUE(DirExists("D:\\My Apps"));
  ExpectOnlyLeftovers(fresh, [&two](const std::string& path) {
    return StartsWith(path, "C:\\QR5") || path == "D:\\My Apps";
  });
  for (const auto& [path, content] : two.files) {
    if (StartsWith(path, "C:\\QR5\\")) {
      EXPECT_TRUE(FileExists(path) || DirExists(path)) << path;
    }
  }
}

// Windows 98: the group is the user's, and the copy goes through WININIT.INI,
// which Windows keeps as WININIT.BAK once it has done the deletions.
TEST_F(UninstallTest, OnWindows98TheUsersGroupGoesAndWininitDeletesTheCopy) {
  SetVersion(1, 4, 10, 0x040A08AE, " A ");
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  const std::string user_group = std::string(install::testing::kUserProfile) + "\\Start Menu\\Programs\\Quorlin 5";
  ASSERT_TRUE(DirExists(user_group));
  Uninstall(ThroughThePages());
  EXPECT_EQ(platform::Sys().profile->GetString("C:\\WINDOWS\\WININIT.INI", "rename", "NUL", ""),
            files().GetShortPathName(kTempCopy));
  EXPECT_FALSE(DirExists(user_group));
  ExpectOnlyLeftovers(fresh, [](const std::string& path) { return path == "C:\\WINDOWS\\WININIT.BAK"; });
  EXPECT_TRUE(FileExists("C:\\WINDOWS\\WININIT.BAK"));
}

TEST_F(UninstallTest, CancelOrNoLeaveTheInstallationWhole) {
  Install("English", "C:\\QR5");
  const Snapshot installed = Take();
  auto only_the_copy = [&installed, this] {
    for (const std::string& path : Changed(installed.files, Take().files)) {
      EXPECT_EQ(path, kTempCopy) << "changed: " << path;
    }
    EXPECT_TRUE(Differ(installed.values, Take().values).empty());
  };
  Uninstall({[] { Main().welcome.Click("CancelButton"); }});
  only_the_copy();
  Uninstall({[] { Main().welcome.Click("NextButton"); }, [] { Main().confirm.Click("NoButton"); }});
  only_the_copy();
  Uninstall({[] { Main().welcome.Click("NextButton"); }, [] { Main().confirm.CloseByFrame(); }});
  only_the_copy();
}

TEST_F(UninstallTest, ChangedAndNewFilesStayWithTheirFolders) {
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  WriteFile("C:\\QR5\\LOG\\SAMPLE.DBF", "my own logbook");
  WriteFile("C:\\QR5\\QSL\\CARDS.TXT", "QSL data");
  std::string finish;
  Uninstall(ThroughThePages(&finish));
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_EQ(List("C:\\QR5"), (std::vector<std::string>{"LOG", "QSL"}));
  EXPECT_EQ(List("C:\\QR5\\LOG"), std::vector<std::string>{"SAMPLE.DBF"});
  EXPECT_EQ(ReadFile("C:\\QR5\\LOG\\SAMPLE.DBF"), "my own logbook");
  EXPECT_EQ(List("C:\\QR5\\QSL"), std::vector<std::string>{"CARDS.TXT"});
  ExpectOnlyLeftovers(fresh, [](const std::string& path) {
    return path == "C:\\QR5" || StartsWith(path, "C:\\QR5\\LOG") || StartsWith(path, "C:\\QR5\\QSL");
  });
}

TEST_F(UninstallTest, ReadOnlyAndInUseFilesAreLeftAndReported) {
  Install("English", "C:\\QR5");
  SetReadOnly("C:\\QR5\\AWARDS\\IOTA.DBF");
  std::unique_ptr<platform::File> held;
  std::string finish;
  auto steps = ThroughThePages(&finish);
  // Held open by the running copy's process, as a program in use would be.
  steps.push_front([&held] { held = platform::Sys().files->OpenFile("C:\\QR5\\QR5.EXE", platform::OpenMode::kRead); });
  Uninstall(std::move(steps));
  held.reset();
  EXPECT_EQ(finish, "Some files could not be removed. You may delete them yourself.");
  EXPECT_EQ(List("C:\\QR5"), (std::vector<std::string>{"AWARDS", "QR5.EXE"}));
  EXPECT_EQ(List("C:\\QR5\\AWARDS"), std::vector<std::string>{"IOTA.DBF"});
  EXPECT_FALSE(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"));
}

// A damaged or tampered record: only the suite's own unchanged files go,
// never the rest of the folder it names.
TEST_F(UninstallTest, TamperedInstallationPathRemovesOnlyTheSuitesOwnFiles) {
  Install("English", "C:\\QR5");
  const std::string icon = ReadFile("C:\\QR5\\QUORLIN5.ICO");
  for (const std::string tampered : {"C:\\", "C:\\WINDOWS", "C:\\Data"}) {
    SCOPED_TRACE(tampered);
    const std::string dir = tampered.back() == '\\' ? tampered : tampered + "\\";
    files().CreateDirectory(tampered);
    WriteFile(dir + "WIN.INI", "[windows]\r\n");
    WriteFile(dir + "QUORLIN5.ICO", icon);           // a suite file, unchanged
    WriteFile(dir + "LICENSE.ENG", "someone else's");  // a suite name, other bytes
    files().CreateDirectory(dir + "SYSTEM");
    WriteFile(dir + "SYSTEM\\OTHER.DLL", "other");
    Install("English", "C:\\QR5");  // the record and the shortcuts afresh
    SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", tampered);
    const Snapshot before = Take();
    Uninstall(ThroughThePages());
    std::set<std::string> gone;
    for (const std::string& path : Changed(before.files, Take().files)) gone.insert(path);
    EXPECT_TRUE(gone.count(dir + "QUORLIN5.ICO"));
    for (const std::string& path : gone) {
      // The suite's file, the copy, and shortcuts that pointed into the named
      // folder (every one does into C:\).
      const bool link = path.size() > 4 && path.substr(path.size() - 4) == ".lnk";
      EXPECT_TRUE(path == dir + "QUORLIN5.ICO" || path == kTempCopy || link ||
                  (tampered == "C:\\" && StartsWith(path, kGroup)))
          << "removed: " << path;
    }
    EXPECT_TRUE(FileExists("C:\\QR5\\QR5.EXE"));
    EXPECT_EQ(ReadFile(dir + "LICENSE.ENG"), "someone else's");
    EXPECT_TRUE(FileExists(dir + "SYSTEM\\OTHER.DLL"));
    EXPECT_TRUE(DirExists(tampered));
  }
}

// Whether a shortcut points into the install folder is judged as Windows
// compares paths: in the letter case of the code page, where the trail byte
// of a double-byte character is no letter.
TEST_F(UninstallTest, ShortcutTargetsCompareInTheLetterCaseOfTheCodePage) {
  struct Case {
    int code_page;
    const char* dir;
    const char* target;
    bool inside;
  };
  const Case cases[] = {
      {1252, "C:\\QR5", "c:\\qr5\\QR5.EXE", true},
      {1252, "C:\\QR5\\", "C:\\qr5\\DOC\\ENG\\QR5.PDF", true},
      {1252, "C:\\M\xFCller\\QR5", "C:\\M\xDCLLER\\QR5\\QR5.EXE", true},  // u and U with diaeresis
      {1252, "C:\\QR5", "C:\\QR5 Tools\\QR5.EXE", false},
      {1252, "C:\\QR5", "C:\\QR5", false},
      {932, "C:\\\x83\x41\\qr5", "c:\\\x83\x41\\QR5\\QR5.EXE", true},
      {932, "C:\\\x83\x41\\QR5", "C:\\\x83\x61\\QR5\\QR5.EXE", false},  // two characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dir) + " / " + c.target);
    ASSERT_TRUE(sim_->SetCodePage(c.code_page));
    EXPECT_EQ(IsInside(c.dir, c.target), c.inside);
  }
}

TEST_F(UninstallTest, MissingRecordOrFolderSaysNotInstalledAndRemovesNothing) {
  Install("English", "C:\\QR5");
  SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", "E:\\Gone\\QR5");
  const Snapshot before = Take();
  Run("C:\\QR5\\QR5_UNINSTALLER.EXE", {});
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Quorlin 5 is not installed on this computer.");
  EXPECT_TRUE(sim_->TakeStartedPrograms().empty());
  EXPECT_TRUE(Changed(before.files, Take().files).empty());
  EXPECT_TRUE(Differ(before.values, Take().values).empty());
}


}  // namespace
}  // namespace qr5::uninstall
