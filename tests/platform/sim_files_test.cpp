// File rules of the simulated machine that go beyond the contract tests:
// Windows behaviour the host file system (and root) would not give.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "sim_fixture.h"

using namespace qr5::platform;
using simtest::HostRead;

namespace {

class SimFiles : public simtest::SimMachineTest {};

TEST_F(SimFiles, ReadOnlyHoldsEvenForRoot) {
  ASSERT_TRUE(Write("C:\\LICENSE.ENG", "text"));
  ASSERT_TRUE(files().SetFileAttributes("C:\\LICENSE.ENG", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(Write("C:\\new.txt", "new"));
  EXPECT_FALSE(files().MoveFileReplace("C:\\new.txt", "C:\\LICENSE.ENG"));
  EXPECT_EQ(files().GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(files().CopyFile("C:\\new.txt", "C:\\LICENSE.ENG", false));
  EXPECT_EQ(files().GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(HostRead(sim_->HostPath("C:\\LICENSE.ENG")), "text");
  // The file itself may move, and keeps its attributes.
  ASSERT_TRUE(files().MoveFileReplace("C:\\LICENSE.ENG", "C:\\WINDOWS\\LICENSE.OLD"));
  EXPECT_EQ(files().GetFileAttributes("C:\\WINDOWS\\LICENSE.OLD"), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files().DeleteFile("C:\\WINDOWS\\LICENSE.OLD"));
}

TEST_F(SimFiles, CreateAlwaysRefusesHiddenAndSystemFiles) {
  ASSERT_TRUE(Write("C:\\desktop.ini", "old"));
  ASSERT_TRUE(files().SetFileAttributes("C:\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(files().OpenFile("C:\\desktop.ini", OpenMode::kCreateAlways), nullptr);
  EXPECT_EQ(files().GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_NE(files().OpenFile("C:\\desktop.ini", OpenMode::kReadWrite), nullptr);
}

// The setup's temporary names rest on this: of two processes that both
// found a name free, only the first creates it; the other is told it exists
// and the first one's bytes stay.
TEST_F(SimFiles, CreateNewGivesANameToOneProcessOnly) {
  auto other = qr5::platform::sim::SimMachine::Open(root_);
  FileSystem& theirs = *other->machine().files;
  EXPECT_EQ(files().GetFileAttributes("C:\\~QR0.TMP"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(theirs.GetFileAttributes("C:\\~QR0.TMP"), INVALID_FILE_ATTRIBUTES);
  auto first = theirs.OpenFile("C:\\~QR0.TMP", OpenMode::kCreateNew);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(first->Write("theirs", 6));
  EXPECT_EQ(files().OpenFile("C:\\~QR0.TMP", OpenMode::kCreateNew), nullptr);
  EXPECT_EQ(files().GetLastError(), ERROR_FILE_EXISTS);
  first.reset();
  EXPECT_EQ(HostRead(sim_->HostPath("C:\\~QR0.TMP")), "theirs");
}

TEST_F(SimFiles, OverwritingResetsAttributesToArchive) {
  ASSERT_TRUE(Write("C:\\a.txt", "1"));
  EXPECT_EQ(files().GetFileAttributes("C:\\a.txt"), FILE_ATTRIBUTE_ARCHIVE);
  ASSERT_TRUE(files().SetFileAttributes("C:\\a.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(files().GetFileAttributes("C:\\a.txt"), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(Write("C:\\a.txt", "2"));
  EXPECT_EQ(files().GetFileAttributes("C:\\a.txt"), FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(SimFiles, ReadOnlyFoldersCannotBeRemoved) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Group"));
  ASSERT_TRUE(files().SetFileAttributes("C:\\Group", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(files().GetFileAttributes("C:\\Group"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files().RemoveDirectory("C:\\Group"));
  EXPECT_EQ(files().GetLastError(), ERROR_ACCESS_DENIED);
  ASSERT_TRUE(files().SetFileAttributes("C:\\Group", 0));
  EXPECT_TRUE(files().RemoveDirectory("C:\\Group"));
  // A folder made again under the same name starts without attributes.
  ASSERT_TRUE(files().CreateDirectory("C:\\GROUP"));
  EXPECT_EQ(files().GetFileAttributes("C:\\Group"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SimFiles, OpenFilesCannotBeDeletedOrMoved) {
  ASSERT_TRUE(Write("C:\\QR5_Installer.exe", "MZ"));
  {
    auto open = files().OpenFile("C:\\QR5_Installer.exe", OpenMode::kRead);
    ASSERT_NE(open, nullptr);
    EXPECT_FALSE(files().DeleteFile("C:\\qr5_installer.exe"));
    EXPECT_EQ(files().GetLastError(), 32u);
    EXPECT_FALSE(files().MoveFileReplace("C:\\QR5_Installer.exe", "C:\\x.exe"));
    EXPECT_EQ(files().GetLastError(), 32u);
  }
  EXPECT_TRUE(files().DeleteFile("C:\\QR5_Installer.exe"));
}

// The running program's own file is held as an open handle is: it cannot
// be deleted, replaced or written while it runs (a start of Windows ends it).
TEST_F(SimFiles, TheRunningProgramsFileCannotBeDeletedOrWritten) {
  ASSERT_TRUE(Write("C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE", "MZ"));
  ASSERT_TRUE(Write("C:\\NEW.EXE", "MZ2"));
  sim_->SetModuleFileName("C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE");
  EXPECT_FALSE(files().DeleteFile("c:\\windows\\temp\\qr5_uninstaller.exe"));
  EXPECT_EQ(files().GetLastError(), 32u);
  EXPECT_FALSE(files().MoveFileReplace("C:\\NEW.EXE", "C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE"));
  EXPECT_FALSE(files().CopyFile("C:\\NEW.EXE", "C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE", false));
  EXPECT_EQ(files().OpenFile("C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE", OpenMode::kCreateAlways), nullptr);
  EXPECT_EQ(files().GetLastError(), 32u);
  EXPECT_NE(files().OpenFile("C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE", OpenMode::kRead), nullptr);
  sim_->Reboot();
  EXPECT_TRUE(files().DeleteFile("C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE"));
}

// A host symbolic link out of the machine root, as a drive folder or below
// one, is never followed: nothing outside the machine is read or deleted.
TEST_F(SimFiles, LinksOutOfTheMachineAreNotFollowed) {
  char pattern[] = "/tmp/qr5-outside-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string outside = pattern;
  simtest::HostWrite(outside + "/HOST.TXT", "the host's");
  ASSERT_EQ(::symlink(outside.c_str(), (root_ + "/drives/E").c_str()), 0);
  ASSERT_EQ(::symlink(outside.c_str(), (root_ + "/drives/C/LINKED").c_str()), 0);
  ASSERT_EQ(::symlink((outside + "/HOST.TXT").c_str(), (root_ + "/drives/C/HOST.TXT").c_str()), 0);
  ASSERT_EQ(::symlink((root_ + "/drives/D").c_str(), (root_ + "/drives/C/INSIDE").c_str()), 0);
  Reopen();
  EXPECT_EQ(files().GetLogicalDriveStrings().find('E'), std::string::npos);
  for (const char* path : {"E:\\HOST.TXT", "C:\\LINKED\\HOST.TXT", "C:\\HOST.TXT"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(files().OpenFile(path, OpenMode::kRead), nullptr);
    EXPECT_FALSE(files().DeleteFile(path));
  }
  EXPECT_EQ(files().FindFirst("E:\\*.*", FILE_ATTRIBUTE_DIRECTORY), nullptr);
  EXPECT_EQ(files().FindFirst("C:\\LINKED\\*.*", FILE_ATTRIBUTE_DIRECTORY), nullptr);
  EXPECT_EQ(HostRead(outside + "/HOST.TXT"), "the host's");
  // A link that stays inside the machine is an ordinary folder.
  EXPECT_TRUE(Write("C:\\INSIDE\\X.TXT", "x"));
  EXPECT_EQ(HostRead(root_ + "/drives/D/X.TXT"), "x");
  std::filesystem::remove_all(outside);
}

TEST_F(SimFiles, WrongKindsOfEntriesGiveWindowsErrors) {
  ASSERT_TRUE(Write("C:\\file.txt", "x"));
  EXPECT_FALSE(files().DeleteFile("C:\\WINDOWS"));
  EXPECT_EQ(files().GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(files().RemoveDirectory("C:\\file.txt"));
  EXPECT_EQ(files().GetLastError(), 267u);
  EXPECT_EQ(files().OpenFile("C:\\WINDOWS", OpenMode::kRead), nullptr);
  EXPECT_EQ(files().GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(files().CreateDirectory("C:\\file.txt"));
  EXPECT_EQ(files().GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(files().CreateDirectory("C:\\file.txt\\sub"));
  EXPECT_EQ(files().GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(files().MoveFileReplace("C:\\file.txt", "D:\\file.txt"));
  EXPECT_EQ(files().GetLastError(), 17u);
  EXPECT_FALSE(files().RemoveDirectory("C:\\"));
  EXPECT_EQ(files().GetFileAttributes("C:\\"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SimFiles, CopiesCarryTimeAndAttributes) {
  ASSERT_TRUE(Write("D:\\KAVO5.DLL", "library"));
  {
    auto file = files().OpenFile("D:\\KAVO5.DLL", OpenMode::kReadWrite);
    ASSERT_TRUE(file->SetTime(127535472000000000ULL));
  }
  ASSERT_TRUE(files().SetFileAttributes("D:\\KAVO5.DLL", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(files().CopyFile("D:\\KAVO5.DLL", "C:\\KAVO5.DLL", false));
  EXPECT_EQ(files().GetFileAttributes("C:\\KAVO5.DLL"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  auto copy = files().OpenFile("C:\\KAVO5.DLL", OpenMode::kRead);
  FileTime time = 0;
  ASSERT_TRUE(copy->GetTime(&time));
  EXPECT_EQ(time, 127535472000000000ULL);
}

TEST_F(SimFiles, SearchesSeeTheAttributesOfMovedFolders) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Old"));
  ASSERT_TRUE(Write("C:\\Old\\secret.txt", "x"));
  ASSERT_TRUE(files().SetFileAttributes("C:\\Old\\secret.txt", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(files().MoveFileReplace("C:\\Old", "C:\\New"));
  EXPECT_EQ(files().FindFirst("C:\\New\\*.txt", 0), nullptr);
  auto search = files().FindFirst("C:\\New\\*.txt", FILE_ATTRIBUTE_HIDDEN);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Current().attributes, FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace

#endif  // _WIN32
