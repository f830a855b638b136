// The whole life of an installation on the simulated machine: the setup
// driven through its pages, then the installed QR5_UNINSTALLER.EXE through
// its own (from the copy it starts in the temporary folder), and the machine
// compared with what it was before.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/program_entry.h"
#include "forms/application.h"
#include "install/install_fixture.h"
#include "lang/ini_normal_form.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step6.h"
#include "platform/platform.h"
#include "platform/sim/sim_ini_text.h"
#include "session/session_state.h"
#include "uninstall/install_paths.h"
#include "uninstall/uninstall_fixture.h"

namespace qr5::uninstall {
namespace {

using namespace testing;

// A killed setup leaves its private folder and its temporary files; the
// next setup removes the folder at once, the files once no other copy runs
// (their owner may still be writing them), and the uninstaller what is left.
TEST_F(UninstallTest, WhatKilledRunsLeftGoesWithTheNextRunAndTheUninstaller) {
  const std::string temp = "C:\\WINDOWS\\TEMP\\";
  WriteFile(temp + "QR5SETUP2X\\MINE.TXT", "the user's");  // not a run's folder
  const Snapshot fresh = Take();
  WriteFile(temp + "QR5SETUP0\\LANGUAGE.ENG", "killed");
  WriteFile(temp + "QR5SETUP7\\LANGUAGE.ENG", "running");
  const std::vector<std::string> stale = {"C:\\QR5\\~QR0.TMP", "C:\\QR5\\DOC\\ENG\\~QR12.TMP"};
  for (const std::string& file : stale) WriteFile(file, std::string(4096, 'x'));
  auto other_run = platform::sim::SimMachine::Open(root_);  // another process
  ASSERT_TRUE(other_run->machine().processes->CreateMutex("QR5SETUP7 run"));

  Install("English", "C:\\QR5");
  EXPECT_FALSE(DirExists(temp + "QR5SETUP0"));
  EXPECT_TRUE(DirExists(temp + "QR5SETUP7"));
  for (const std::string& file : stale) EXPECT_TRUE(FileExists(file)) << file;

  other_run.reset();  // that run ends
  Uninstall(ThroughThePages());
  for (const std::string& file : stale) EXPECT_FALSE(FileExists(file)) << file;
  EXPECT_FALSE(DirExists(temp + "QR5SETUP7"));
  ExpectOnlyLeftovers(fresh);
}

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
  std::string finish, title;
  Uninstall(ThroughThePages(&finish, nullptr, &title));
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_EQ(title, "Completing the Quorlin 5 Uninstall Wizard") << "a heading, not the caption";
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
// which Windows keeps as WININIT.BAK once it has done the deletions. Another
// program's pending deletion there is kept, also when the user cancels.
TEST_F(UninstallTest, OnWindows98TheUsersGroupGoesAndWininitDeletesTheCopy) {
  SetVersion(1, 4, 10, 0x040A08AE, " A ");
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  const std::string user_group = std::string(install::testing::kUserProfile) + "\\Start Menu\\Programs\\Quorlin 5";
  ASSERT_TRUE(DirExists(user_group));
  const std::string theirs = "[rename]\r\nNUL=C:\\OLDSETUP.EXE\r\n\r\n[Other]\r\nKey=1\r\n";
  WriteFile("C:\\OLDSETUP.EXE", "another program's leftover");
  WriteFile("C:\\WINDOWS\\WININIT.INI", theirs);
  // The copy is made before Windows starts it, so its short name is known.
  WriteFile(kTempCopy, "");
  const std::string ours = "NUL=" + files().GetShortPathName(kTempCopy) + "\r\n";
  const std::string both = "[rename]\r\nNUL=C:\\OLDSETUP.EXE\r\n" + ours + "\r\n[Other]\r\nKey=1\r\n";
  Uninstall({[] { Main().welcome.Click("CancelButton"); }});
  EXPECT_EQ(ReadFile("C:\\WINDOWS\\WININIT.INI"), both);
  Uninstall(ThroughThePages());
  EXPECT_EQ(ReadFile("C:\\WINDOWS\\WININIT.INI"), both) << "the line is there once";
  EXPECT_FALSE(DirExists(user_group));
  ExpectOnlyLeftovers(fresh, [](const std::string& path) { return path == "C:\\WINDOWS\\WININIT.BAK"; });
  EXPECT_TRUE(FileExists("C:\\WINDOWS\\WININIT.BAK"));
  EXPECT_FALSE(FileExists("C:\\OLDSETUP.EXE"));
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
  // N answers as in a Yes/No message box; the buttons stand right under the
  // one line of the question and its picture, with no empty band.
  Uninstall({[] { Main().welcome.Click("NextButton"); },
             [] {
               forms::Form& confirm = Main().confirm;
               const forms::Control& picture = confirm.Get("Image1");
               EXPECT_EQ(confirm.Get("Label1").height, 13);
               EXPECT_EQ(confirm.Get("YesButton").top, picture.top + picture.height + 15);
               EXPECT_EQ(confirm.client_height, confirm.Get("NoButton").top + 33);
               EXPECT_TRUE(confirm.KeyChar('n'));
             }});
  only_the_copy();
}

TEST_F(UninstallTest, ChangedAndNewFilesStayWithTheirFolders) {
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  WriteFile("C:\\QR5\\LOG\\SAMPLE.DBF", "my own logbook");
  WriteFile("C:\\QR5\\QSL\\CARDS.TXT", "QSL data");
  std::string finish, title;
  Uninstall(ThroughThePages(&finish, nullptr, &title));
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_EQ(title, "Completing the Quorlin 5 Uninstall Wizard") << "a heading, not the caption";
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
  // The uninstaller and the records stay with them, so it can run again.
  EXPECT_EQ(List("C:\\QR5"), (std::vector<std::string>{"AWARDS", "QR5.EXE", "QR5_UNINSTALLER.EXE"}));
  EXPECT_EQ(List("C:\\QR5\\AWARDS"), std::vector<std::string>{"IOTA.DBF"});
  EXPECT_TRUE(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"));
  ASSERT_TRUE(RegText(kUninstallEntry, "UninstallString"));
  ASSERT_TRUE(files().SetFileAttributes("C:\\QR5\\AWARDS\\IOTA.DBF", platform::FILE_ATTRIBUTE_NORMAL));
  Uninstall(ThroughThePages(&finish));
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_FALSE(DirExists("C:\\QR5"));
  EXPECT_FALSE(RegText(kUninstallEntry, "UninstallString"));
}

// A damaged or tampered record: only the suite's own unchanged files go,
// never the rest of the folder it names, nor a KAVO5.DLL there (a foreign
// one, or the shipped one beside the setup on its medium).
TEST_F(UninstallTest, TamperedInstallationPathRemovesOnlyTheSuitesOwnFiles) {
  Install("English", "C:\\QR5");
  const std::string icon = ReadFile("C:\\QR5\\QUORLIN5.ICO");
  // Started from a folder that holds no suite, the uninstaller goes by the record.
  ASSERT_TRUE(files().CreateDirectory("D:\\TOOLS"));
  ASSERT_TRUE(files().CopyFile("C:\\QR5\\QR5_UNINSTALLER.EXE", "D:\\TOOLS\\QR5_UNINSTALLER.EXE", true));
  for (const std::string tampered : {"C:\\", "C:\\WINDOWS", "C:\\Data", "D:\\SETUP"}) {
    SCOPED_TRACE(tampered);
    const std::string dir = tampered.back() == '\\' ? tampered : tampered + "\\";
    files().CreateDirectory(tampered);
    WriteFile(dir + "WIN.INI", "[windows]\r\n");
    WriteFile(dir + "QUORLIN5.ICO", icon);           // a suite file, unchanged
    WriteFile(dir + "LICENSE.ENG", "someone else's");  // a suite name, other bytes
    files().CreateDirectory(dir + "SYSTEM");
    WriteFile(dir + "SYSTEM\\OTHER.DLL", "other");
    if (tampered[0] == 'C') WriteFile(dir + "KAVO5.DLL", "another program's library");
    Install("English", "C:\\QR5");  // the record and the shortcuts afresh
    SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", tampered);
    const Snapshot before = Take();
    UninstallBy("D:\\TOOLS\\QR5_UNINSTALLER.EXE", ThroughThePages());
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
    EXPECT_TRUE(FileExists(dir + "KAVO5.DLL"));
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
      // Full paths compared, whatever form the record or the link has.
      {1252, "C:\\WINDOWS\\..\\QR5", "c:/qr5/QR5.EXE", true},
      {1252, "C:\\QR5\\.", "C:\\QR5\\DOC\\..\\QR5.EXE", true},
      {1252, "C:\\QR5 ", "C:\\QR5\\QR5.EXE", true},
      {1252, "C:\\QR5", "C:\\QR5\\..\\OTHER\\X.EXE", false},
      {1252, "QR5", "QR5\\QR5.EXE", false},  // no drive: no folder of ours
      {932, "C:\\\x83\x5C", "C:\\\x83\x5C\\QR5.EXE", true},  // trail byte 0x5C, no separator
      {932, "C:\\\x83\x5C", "C:\\\x83\x5CQR5.EXE", false},
      {932, "C:\\\x83\x41\\qr5", "c:\\\x83\x41\\QR5\\QR5.EXE", true},
      {932, "C:\\\x83\x41\\QR5", "C:\\\x83\x61\\QR5\\QR5.EXE", false},  // two characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dir) + " / " + c.target);
    ASSERT_TRUE(sim_->SetCodePage(c.code_page));
    EXPECT_EQ(IsInside(c.dir, c.target), c.inside);
  }
}

// A program INI is the suite's own however the profile writer saved the
// setup's LanguageFile line in it: Windows keeps the other lines as they
// were, Wine (and so the simulated machine) saves the file anew, trimmed
// and without blank lines.
TEST_F(UninstallTest, AProgramIniHasOneNormalFormAsShippedAsWindowsKeepsItAndAsWineSavesIt) {
  Install("English", "C:\\QR5");
  const std::string installed = ReadFile("C:\\QR5\\HERALDO.INI");
  EXPECT_NE(installed.find("LanguageFile=HERALDO_LANGUAGE.ENG\r\n"), std::string::npos);
  EXPECT_EQ(installed.find("\r\n\r\n"), std::string::npos) << "saved without blank lines";
  const std::string texts[] = {
      "; Heraldo\r\n\r\n[Setup]\r\nFirstRun=1\r\n\r\n[Window]\r\nLeft=220\r\n",
      "  ; untidy\r\n\r\n  [Setup]  ; note\r\n\tFirstRun = 1 \r\nLanguageFile = OLD.ITA\r\n\r\n"
      "[Window]\r\nFlag\r\n  Left\t=220",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const std::string shipped = lang::IniNormalForm(text);
    const auto written = [](const std::string& file) {
      return platform::sim::IniEdit(file, "Setup", "LanguageFile", "HERALDO_LANGUAGE.ENG");
    };
    EXPECT_EQ(lang::IniNormalForm(written(text)), shipped) << "as Windows keeps it";
    EXPECT_EQ(lang::IniNormalForm(written(platform::sim::IniRewrite(text))), shipped) << "as Wine saves it";
    EXPECT_EQ(shipped.find("LanguageFile"), std::string::npos);
  }
}

TEST_F(UninstallTest, MissingRecordOrFolderSaysNotInstalledAndRemovesNothing) {
  Install("English", "C:\\QR5");
  SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", "E:\\Gone\\QR5");
  const Snapshot before = Take();
  Run("D:\\SETUP\\QR5_UNINSTALLER.EXE", {});
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Quorlin 5 is not installed on this computer.");
  EXPECT_TRUE(sim_->TakeStartedPrograms().empty());
  EXPECT_TRUE(Changed(before.files, Take().files).empty());
  EXPECT_TRUE(Differ(before.values, Take().values).empty());
}

// Each installation's own uninstaller removes that installation, whatever
// a later one elsewhere recorded, and says which folder goes; without any
// record it still finds its folder by where it lies.
TEST_F(UninstallTest, AnUninstallerStartedFromItsFolderRemovesThatInstallation) {
  Install("English", "C:\\QR5");
  Install("Italiano", "D:\\My Apps\\QR5");
  const Snapshot two = Take();
  std::string finish, folder;
  UninstallBy("C:\\QR5\\QR5_UNINSTALLER.EXE", ThroughThePages(&finish, &folder));
  EXPECT_EQ(folder, "C:\\QR5");
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_FALSE(DirExists("C:\\QR5"));
  for (const auto& [path, content] : two.files) {
    if (StartsWith(path, "D:\\My Apps\\QR5\\")) {
      EXPECT_TRUE(FileExists(path) || DirExists(path)) << path;
    }
  }
  // The later installation's records are its own and stay.
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"), "D:\\My Apps\\QR5");
  EXPECT_TRUE(RegText(kUninstallEntry, "UninstallString"));

  ASSERT_EQ(platform::Sys().registry->DeleteKey(platform::HKEY_CURRENT_USER, "Quorlin5"), 0);
  UninstallBy("\"D:\\My Apps\\QR5\\QR5_UNINSTALLER.EXE\"", ThroughThePages(&finish, &folder));
  EXPECT_EQ(folder, "D:\\My Apps\\QR5");
  EXPECT_EQ(finish, "Quorlin 5 \xE8 stato rimosso dal computer.") << "the language its programs were given";
  EXPECT_FALSE(DirExists("D:\\My Apps\\QR5"));
  EXPECT_FALSE(RegText(kUninstallEntry, "UninstallString"));
}

// A record in another form than the setup writes still names the folder:
// the shortcuts and the records go with the files.
TEST_F(UninstallTest, RecordsAreComparedAsFullPaths) {
  Install("English", "C:\\QR5");
  ASSERT_TRUE(files().CreateDirectory("D:\\TOOLS"));
  ASSERT_TRUE(files().CopyFile("C:\\QR5\\QR5_UNINSTALLER.EXE", "D:\\TOOLS\\QR5_UNINSTALLER.EXE", true));
  for (const char* recorded : {"C:\\WINDOWS\\..\\QR5", "c:/qr5", "C:\\QR5\\.", "C:\\QR5 "}) {
    SCOPED_TRACE(recorded);
    Install("English", "C:\\QR5");
    SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", recorded);
    std::string finish;
    UninstallBy("D:\\TOOLS\\QR5_UNINSTALLER.EXE", ThroughThePages(&finish));
    EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
    EXPECT_FALSE(DirExists("C:\\QR5"));
    EXPECT_FALSE(DirExists(kGroup));
    EXPECT_FALSE(FileExists(kDesktopLink));
    EXPECT_FALSE(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"));
    EXPECT_FALSE(RegText(kUninstallEntry, "UninstallString"));
  }
}

// A file of the user's under a suite file's name, far larger than memory
// allows to read whole, is told apart by its size and stays.
TEST_F(UninstallTest, AHugeFileUnderASuiteNameIsJudgedByItsSizeAndStays) {
  Install("English", "C:\\QR5");
  const std::string logbook = Host("C:\\QR5\\LOG\\SAMPLE.DBF");
  ASSERT_TRUE(fs::exists(logbook));
  fs::resize_file(logbook, 1500000000);  // sparse on the host
  std::string finish;
  {
    // Memory for the program and its buffers, not for the file.
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    statm >> pages;
    ASSERT_GT(pages, 0u);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &before), 0);
    rlimit capped = before;
    capped.rlim_cur = pages * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE)) + (512u << 20);
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &capped), 0);
    Uninstall(ThroughThePages(&finish));
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &before), 0);
  }
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_TRUE(fe_.boxes.empty());
  EXPECT_EQ(List("C:\\QR5"), std::vector<std::string>{"LOG"});
  EXPECT_EQ(fs::file_size(logbook), 1500000000u);
}


}  // namespace
}  // namespace qr5::uninstall
