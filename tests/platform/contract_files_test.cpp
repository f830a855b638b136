// Files and folders: searches with masks, attributes, folders, copies and
// moves, short names, as the start-up clean-up, the archive reader and the
// install actions use them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "contract_helpers.h"
#include "platform/private_temp_folder.h"

using contract::Exists;
using contract::Files;
using contract::ReadBytes;
using contract::WriteBytes;
using namespace qr5::platform;

namespace {

constexpr uint32_t kAll = 63;  // read-only, hidden, system, volume, directory, archive

std::set<std::string> Find(const std::string& mask, uint32_t attribute_mask = kAll) {
  std::set<std::string> names;
  auto search = Files().FindFirst(mask, attribute_mask);
  if (!search) return names;
  do {
    names.insert(search->Current().name);
  } while (search->Next());
  return names;
}

class FileSearchMasks : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ContractScratchDir();
    for (const char* name : {"LANGUAGE.ENG", "LANGUAGE.ITA", "LANGUAGE", "language.fra",
                             "OLDLANGUAGE.ENG", "LANGUAGEX.ENG", "LICENSE.ENG", "readme"}) {
      ASSERT_TRUE(WriteBytes(dir_ + "\\" + name, name));
    }
    ASSERT_TRUE(Files().CreateDirectory(dir_ + "\\Sub Folder"));
  }
  std::string dir_;
};

TEST_F(FileSearchMasks, MatchesNamesThatBeginWithTheMask) {
  EXPECT_EQ(Find(dir_ + "\\LANGUAGE.*"),
            (std::set<std::string>{"LANGUAGE", "LANGUAGE.ENG", "LANGUAGE.ITA", "language.fra"}));
  EXPECT_EQ(Find(dir_ + "\\LICENSE.*"), (std::set<std::string>{"LICENSE.ENG"}));
}

TEST_F(FileSearchMasks, QuestionMarkStandsForOneCharacter) {
  EXPECT_EQ(Find(dir_ + "\\language.en?"), (std::set<std::string>{"LANGUAGE.ENG"}));
}

TEST_F(FileSearchMasks, StarDotStarMatchesEverything) {
  const auto all = Find(dir_ + "\\*.*");
  EXPECT_EQ(all.size(), 11u);  // eight files, the folder, "." and ".."
  EXPECT_TRUE(all.count("readme"));
  EXPECT_TRUE(all.count("Sub Folder"));
  EXPECT_TRUE(all.count("."));
  EXPECT_TRUE(all.count(".."));
}

TEST_F(FileSearchMasks, LeavesOutFoldersAndHiddenFilesNotAsked) {
  ASSERT_TRUE(Files().SetFileAttributes(dir_ + "\\readme", FILE_ATTRIBUTE_HIDDEN));
  const auto plain = Find(dir_ + "\\*", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(plain.size(), 7u);
  EXPECT_FALSE(plain.count("readme"));
  EXPECT_FALSE(plain.count("Sub Folder"));
  const auto with_hidden = Find(dir_ + "\\*", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(with_hidden.count("readme"));
  EXPECT_FALSE(with_hidden.count("Sub Folder"));
}

TEST_F(FileSearchMasks, ReportsNoMatchAndMissingFolders) {
  EXPECT_EQ(Files().FindFirst(dir_ + "\\NOTHING.*", kAll), nullptr);
  EXPECT_EQ(Files().GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Files().FindFirst(dir_ + "\\Missing\\*", kAll), nullptr);
  EXPECT_EQ(Files().GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileSearchMasks, ReportsSizeAndKeepsTheSpellingOfNames) {
  auto search = Files().FindFirst(dir_ + "\\LANGUAGE.FRA", kAll);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Current().name, "language.fra");
  EXPECT_EQ(search->Current().size, 12u);
  EXPECT_EQ(search->Current().attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_FALSE(search->Next());
}

TEST(Files, OpensNamesWithoutRegardToCase) {
  const std::string dir = ContractScratchDir();
  ASSERT_TRUE(WriteBytes(dir + "\\MixedCase.txt", "data"));
  EXPECT_EQ(ReadBytes(dir + "\\MIXEDCASE.TXT"), "data");
  EXPECT_EQ(ReadBytes(dir + "/mixedcase.txt"), "data");
}

TEST(Files, ReadsWritesSeeksAndKeepsTimes) {
  const std::string path = ContractScratchDir() + "\\stream.bin";
  {
    auto file = Files().OpenFile(path, OpenMode::kCreateAlways);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Write("0123456789", 10));
    // 2005-02-21 12:00:00 UTC
    ASSERT_TRUE(file->SetTime(127535472000000000ULL));
  }
  auto file = Files().OpenFile(path, OpenMode::kRead);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), 10);
  ASSERT_TRUE(file->Seek(6));
  char buffer[8] = {};
  uint32_t got = 0;
  ASSERT_TRUE(file->Read(buffer, sizeof buffer, &got));
  EXPECT_EQ(std::string(buffer, got), "6789");
  FileTime time = 0;
  ASSERT_TRUE(file->GetTime(&time));
  EXPECT_EQ(time, 127535472000000000ULL);
  auto search = Files().FindFirst(path, kAll);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Current().last_write, 127535472000000000ULL);
}

TEST(Files, ReadOnlyFilesCannotBeDeletedOrOverwritten) {
  const std::string path = ContractScratchDir() + "\\LANGUAGE.ENG";
  ASSERT_TRUE(WriteBytes(path, "kept"));
  ASSERT_TRUE(Files().SetFileAttributes(path, FILE_ATTRIBUTE_READONLY));
  EXPECT_NE(Files().GetFileAttributes(path) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_FALSE(Files().DeleteFile(path));
  EXPECT_EQ(Files().GetLastError(), ERROR_ACCESS_DENIED);
  if (contract::ReadOnlyStopsWriters()) {
    EXPECT_EQ(Files().OpenFile(path, OpenMode::kCreateAlways), nullptr);
    EXPECT_EQ(Files().GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Files().OpenFile(path, OpenMode::kReadWrite), nullptr);
    EXPECT_EQ(ReadBytes(path), "kept");
  }
  ASSERT_TRUE(Files().SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(Files().GetFileAttributes(path) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(Files().DeleteFile(path));
  EXPECT_FALSE(Exists(path));
}

// The share mode the archive is read with: writers are refused while it is
// open, readers are not; and it is refused while a writer holds the file.
TEST(Files, DenyWriteOpenRefusesWritersButNotReaders) {
  const std::string dir = ContractScratchDir();
  const std::string path = dir + "\\setup.exe";
  ASSERT_TRUE(WriteBytes(path, "archive"));
  ASSERT_TRUE(WriteBytes(dir + "\\other.exe", "other"));
  {
    auto held = Files().OpenFile(path, OpenMode::kReadDenyWrite);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(Files().OpenFile(path, OpenMode::kReadWrite), nullptr);
    EXPECT_EQ(Files().GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Files().OpenFile(path, OpenMode::kCreateAlways), nullptr);
    EXPECT_EQ(Files().GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(Files().CopyFile(dir + "\\other.exe", path, false));
    EXPECT_EQ(Files().GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadBytes(path), "archive");
    EXPECT_NE(Files().OpenFile(path, OpenMode::kReadDenyWrite), nullptr) << "readers share";
    EXPECT_FALSE(held->Write("x", 1));
    char buffer[16];
    uint32_t got = 0;
    ASSERT_TRUE(held->Read(buffer, sizeof buffer, &got));
    EXPECT_EQ(std::string(buffer, got), "archive");
  }
  {
    auto writer = Files().OpenFile(path, OpenMode::kReadWrite);
    ASSERT_NE(writer, nullptr) << "free again once closed";
    EXPECT_EQ(Files().OpenFile(path, OpenMode::kReadDenyWrite), nullptr);
    EXPECT_EQ(Files().GetLastError(), ERROR_SHARING_VIOLATION);
  }
  EXPECT_TRUE(WriteBytes(path, "new"));
  EXPECT_EQ(ReadBytes(path), "new");
}

TEST(Files, ReportsMissingFiles) {
  const std::string dir = ContractScratchDir();
  EXPECT_EQ(Files().GetFileAttributes(dir + "\\absent.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Files().GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(Files().DeleteFile(dir + "\\absent.txt"));
  EXPECT_EQ(Files().GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Files().OpenFile(dir + "\\absent.txt", OpenMode::kRead), nullptr);
  EXPECT_EQ(Files().GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Files().OpenFile(dir + "\\No Folder\\x.txt", OpenMode::kCreateAlways), nullptr);
  EXPECT_EQ(Files().GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(Folders, AreCreatedOneLevelAtATimeAndRemovedWhenEmpty) {
  const std::string dir = ContractScratchDir();
  EXPECT_FALSE(Files().CreateDirectory(dir + "\\QR5\\SYSTEM"));
  EXPECT_EQ(Files().GetLastError(), ERROR_PATH_NOT_FOUND);
  ASSERT_TRUE(Files().CreateDirectory(dir + "\\QR5"));
  EXPECT_EQ(Files().GetFileAttributes(dir + "\\QR5") &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
            FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(Files().CreateDirectory(dir + "\\qr5"));
  EXPECT_EQ(Files().GetLastError(), ERROR_ALREADY_EXISTS);
  // A file of the name counts as taken too (a run's private folder takes
  // the next number then).
  ASSERT_TRUE(WriteBytes(dir + "\\TAKEN", ""));
  EXPECT_FALSE(Files().CreateDirectory(dir + "\\TAKEN"));
  EXPECT_EQ(Files().GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(Files().DeleteFile(dir + "\\TAKEN"));
  ASSERT_TRUE(Files().CreateDirectory(dir + "\\QR5\\SYSTEM\\"));
  ASSERT_TRUE(WriteBytes(dir + "\\QR5\\SYSTEM\\QR5.INI", ""));

  EXPECT_FALSE(Files().RemoveDirectory(dir + "\\QR5\\SYSTEM"));
  EXPECT_EQ(Files().GetLastError(), ERROR_DIR_NOT_EMPTY);
  ASSERT_TRUE(Files().DeleteFile(dir + "\\QR5\\SYSTEM\\QR5.INI"));
  EXPECT_TRUE(Files().RemoveDirectory(dir + "\\QR5\\SYSTEM"));
  EXPECT_TRUE(Files().RemoveDirectory(dir + "\\QR5"));
  EXPECT_FALSE(Exists(dir + "\\QR5"));
}

TEST(Files, CopiesAndMoves) {
  const std::string dir = ContractScratchDir();
  ASSERT_TRUE(WriteBytes(dir + "\\KAVO5.DLL", "library"));
  ASSERT_TRUE(WriteBytes(dir + "\\old.dll", "old"));
  EXPECT_FALSE(Files().CopyFile(dir + "\\KAVO5.DLL", dir + "\\old.dll", true));
  EXPECT_EQ(Files().GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadBytes(dir + "\\old.dll"), "old");
  ASSERT_TRUE(Files().CopyFile(dir + "\\KAVO5.DLL", dir + "\\old.dll", false));
  EXPECT_EQ(ReadBytes(dir + "\\old.dll"), "library");
  EXPECT_FALSE(Files().CopyFile(dir + "\\absent.dll", dir + "\\x.dll", false));
  EXPECT_EQ(Files().GetLastError(), ERROR_FILE_NOT_FOUND);

  ASSERT_TRUE(WriteBytes(dir + "\\new.bin", "new"));
  ASSERT_TRUE(Files().MoveFileReplace(dir + "\\new.bin", dir + "\\old.dll"));
  EXPECT_EQ(ReadBytes(dir + "\\old.dll"), "new");
  EXPECT_FALSE(Exists(dir + "\\new.bin"));
}

TEST(Files, ShortPathNamesLeadBackToTheSameFile) {
  const std::string dir = ContractScratchDir();
  ASSERT_TRUE(Files().CreateDirectory(dir + "\\Long Folder Name"));
  const std::string path = dir + "\\Long Folder Name\\Some Long File.text";
  ASSERT_TRUE(WriteBytes(path, "content"));
  const std::string short_path = Files().GetShortPathName(path);
  ASSERT_FALSE(short_path.empty());
  EXPECT_EQ(short_path.find(' '), std::string::npos) << short_path;
  EXPECT_EQ(ReadBytes(short_path), "content");
  const std::string short_dir = Files().GetShortPathName(dir + "\\Long Folder Name\\");
  ASSERT_FALSE(short_dir.empty());
  EXPECT_EQ(short_dir.back(), '\\');
  EXPECT_NE(Files().GetFileAttributes(short_dir) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(Files().GetShortPathName(dir + "\\Absent Folder\\x"), "");
}

TEST(Files, KnowsTheDrivesTheTempFolderAndFreeSpace) {
  const std::string drives = Files().GetLogicalDriveStrings();
  EXPECT_NE(drives.find(std::string("C:\\\0", 4)), std::string::npos);
  EXPECT_EQ(drives.back(), '\0');
  const std::string temp = Files().GetTempPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  const uint32_t temp_attributes = Files().GetFileAttributes(temp);
  EXPECT_NE(temp_attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(temp_attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  int64_t free_bytes = -1;
  EXPECT_TRUE(Files().GetDiskFreeSpace("C:\\", &free_bytes));
  EXPECT_GE(free_bytes, 0);
}

}  // namespace

TEST(Folders, APrivateTempFolderIsNewForEveryRunAndGoesWithEverythingInIt) {
  const std::string dir = ContractScratchDir() + "\\";
  ASSERT_TRUE(WriteBytes(dir + "RUN0", "a file of another program"));
  const std::string first = MakePrivateTempFolder(dir, "RUN");
  const std::string second = MakePrivateTempFolder(dir, "RUN");
  EXPECT_EQ(first, dir + "RUN1\\");
  EXPECT_EQ(second, dir + "RUN2\\");
  ASSERT_TRUE(WriteBytes(first + "LANGUAGE.ENG", "x"));
  ASSERT_TRUE(Files().SetFileAttributes(first + "LANGUAGE.ENG", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(Files().CreateDirectory(first + "SUB"));
  ASSERT_TRUE(WriteBytes(first + "SUB\\X.TXT", "x"));
  DeletePrivateTempFolder(first);
  EXPECT_FALSE(Exists(dir + "RUN1"));
  EXPECT_TRUE(Exists(second));
  EXPECT_EQ(ReadBytes(dir + "RUN0"), "a file of another program");
  DeletePrivateTempFolder(second);
  EXPECT_TRUE(Files().DeleteFile(dir + "RUN0"));
  EXPECT_EQ(MakePrivateTempFolder(dir + "MISSING\\", "RUN"), "") << "a folder that cannot be made";
}
