#include "platform/file_deletion.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/platform.h"
#include "sim_fixture.h"

namespace qr5::app {
namespace {

using platform::DeleteFilesByMask;
using platform::DeleteFolderTree;
using platform::FILE_ATTRIBUTE_HIDDEN;
using platform::FILE_ATTRIBUTE_READONLY;
using platform::FILE_ATTRIBUTE_SYSTEM;

class FileCleanupTest : public testing::SimMachineTest {
 protected:
  void SetAttributes(const std::string& path, uint32_t attributes) {
    ASSERT_TRUE(files().SetFileAttributes(path, attributes)) << path;
  }
  // Files and folders in folder, "." and ".." not counted.
  int EntriesIn(const std::string& folder) {
    int count = 0;
    auto search = files().FindFirst(folder + "*", 55);
    if (search) {
      do {
        const std::string& name = search->Current().name;
        count += name != "." && name != "..";
      } while (search->Next());
    }
    return count;
  }
  // The error DeleteFolderTree raises for folder, or "" when it succeeds.
  std::string FailureOf(const std::string& folder) {
    try {
      DeleteFolderTree(folder);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  }
};

TEST_F(FileCleanupTest, MasksDeleteOnlyNamesThatBeginWithThem) {
  const std::string temp = "C:\\WINDOWS\\TEMP\\";
  for (const char* name : {"LANGUAGE.ENG", "language.ita", "LANGUAGE.", "LICENSE.ENG",
                           "LICENSE.SWE", "OLDLANGUAGE.ENG", "LANGUAGEX.ENG", "MY LICENSE.TXT",
                           "LICENSE"})
    WriteFile(temp + name);
  WriteFile(temp + "HIDDEN\\x");  // a folder that matches no mask
  WriteFile(temp + "LANGUAGE.OLD\\keep.txt");  // a folder that matches
  WriteFile(temp + "LANGUAGE.SPA");
  SetAttributes(temp + "LANGUAGE.SPA", FILE_ATTRIBUTE_HIDDEN);

  DeleteFilesByMask(temp, "LANGUAGE.*");
  DeleteFilesByMask(temp, "LICENSE.*");

  for (const char* gone : {"LANGUAGE.ENG", "language.ita", "LANGUAGE.SPA", "LICENSE.ENG",
                           "LICENSE.SWE"})
    EXPECT_FALSE(Exists(temp + gone)) << gone;
  for (const char* kept : {"OLDLANGUAGE.ENG", "LANGUAGEX.ENG", "MY LICENSE.TXT",
                           "LANGUAGE.OLD\\keep.txt", "HIDDEN\\x"})
    EXPECT_TRUE(Exists(temp + kept)) << kept;
}

TEST_F(FileCleanupTest, MaskCleanUpLeavesReadOnlyAndOpenFilesAndGoesOn) {
  const std::string temp = "C:\\WINDOWS\\TEMP\\";
  WriteFile(temp + "LANGUAGE.ENG");
  WriteFile(temp + "LANGUAGE.FIN");
  WriteFile(temp + "LANGUAGE.ITA");
  SetAttributes(temp + "LANGUAGE.ENG", FILE_ATTRIBUTE_READONLY);
  auto open = files().OpenFile(temp + "LANGUAGE.FIN", platform::OpenMode::kRead);
  ASSERT_NE(open, nullptr);
  DeleteFilesByMask(temp, "LANGUAGE.*");
  EXPECT_TRUE(Exists(temp + "LANGUAGE.ENG"));
  EXPECT_TRUE(Exists(temp + "LANGUAGE.FIN"));
  EXPECT_FALSE(Exists(temp + "LANGUAGE.ITA"));
}

TEST_F(FileCleanupTest, FolderTreeGoesWithHiddenSystemAndReadOnlyEntries) {
  const std::string group = "C:\\Documents and Settings\\Old Group";
  WriteFile(group + "\\Quorlin 5.lnk");
  WriteFile(group + "\\hidden.lnk");
  WriteFile(group + "\\desktop.ini");
  WriteFile(group + "\\Long Manuals Folder\\Quorlin manual.lnk");
  WriteFile(group + "\\Long Manuals Folder\\Deeper\\read only.txt");
  SetAttributes(group + "\\hidden.lnk", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(group + "\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetAttributes(group + "\\Long Manuals Folder\\Deeper\\read only.txt", FILE_ATTRIBUTE_READONLY);
  SetAttributes(group + "\\Long Manuals Folder\\Deeper", FILE_ATTRIBUTE_READONLY |
                                                           platform::FILE_ATTRIBUTE_DIRECTORY);
  SetAttributes(group, FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_DIRECTORY);
  WriteFile("C:\\Documents and Settings\\Old Group 2\\stays.lnk");

  EXPECT_EQ(FailureOf(group), "");
  EXPECT_FALSE(Exists(group));
  EXPECT_TRUE(Exists("C:\\Documents and Settings"));
  EXPECT_TRUE(Exists("C:\\Documents and Settings\\Old Group 2\\stays.lnk"));
}

TEST_F(FileCleanupTest, FolderGivenWithTrailingBackslashAndInOtherCase) {
  WriteFile("C:\\Apps\\Tools\\a.txt");
  EXPECT_EQ(FailureOf("c:\\apps\\tools\\"), "");
  EXPECT_FALSE(Exists("C:\\Apps\\Tools"));
  EXPECT_TRUE(Exists("C:\\Apps"));
}

TEST_F(FileCleanupTest, ADriveRootIsEmptiedButNotRemoved) {
  WriteFile("D:\\QR5\\QR5.EXE");
  WriteFile("D:\\readme.txt");
  SetAttributes("D:\\readme.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(FailureOf("d:\\"), "");
  EXPECT_TRUE(Exists("D:\\"));
  EXPECT_FALSE(Exists("D:\\QR5"));
  EXPECT_FALSE(Exists("D:\\readme.txt"));
  EXPECT_EQ(EntriesIn("D:\\"), 0);
  // Also spelled without the backslash.
  WriteFile("D:\\again.txt");
  EXPECT_EQ(FailureOf("D:"), "");
  EXPECT_TRUE(Exists("D:\\"));
  EXPECT_FALSE(Exists("D:\\again.txt"));
}

TEST_F(FileCleanupTest, AMissingFolderRaisesTheSystemText) {
  const std::string error = FailureOf("C:\\No Such Folder");
  EXPECT_EQ(error, files().SystemErrorText(platform::ERROR_FILE_NOT_FOUND).substr(0, error.size()));
  EXPECT_FALSE(error.empty());
  EXPECT_NE(error.back(), '.');  // as the runtime gives system texts
}

TEST_F(FileCleanupTest, StopsAtTheFirstFileInUseAndKeepsWhatWasDeleted) {
  const std::string folder = "C:\\Group";
  WriteFile(folder + "\\A\\one.lnk");
  WriteFile(folder + "\\B\\busy.lnk");
  WriteFile(folder + "\\C\\three.lnk");
  auto busy = files().OpenFile(folder + "\\B\\busy.lnk", platform::OpenMode::kRead);
  ASSERT_NE(busy, nullptr);
  const std::string error = FailureOf(folder);
  EXPECT_EQ(error, "The process cannot access the file because it is being used by another "
                   "process");
  EXPECT_TRUE(Exists(folder + "\\B\\busy.lnk"));
  EXPECT_TRUE(Exists(folder));
  // The search order decides what went before; whatever did stays gone, and
  // nothing after the failure was touched.
  const bool a_gone = !Exists(folder + "\\A");
  const bool c_gone = !Exists(folder + "\\C");
  EXPECT_FALSE(a_gone && c_gone);
  busy.reset();
  EXPECT_EQ(FailureOf(folder), "");
  EXPECT_FALSE(Exists(folder));
}

}  // namespace
}  // namespace qr5::app
