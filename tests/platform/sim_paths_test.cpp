// Windows paths on the simulated machine: parsing, letter case, aliases.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/sim/sim_paths.h"
#include "platform/sim/sim_short_names.h"
#include "sim_fixture.h"

using namespace qr5::platform;
using namespace qr5::platform::sim;
using simtest::HostRead;
using simtest::HostWrite;

namespace {

std::string Normal(const std::string& path, const std::string& current = "C:\\Work") {
  WindowsPath parsed;
  const uint32_t error = ParseWindowsPath(path, current, false, &parsed);
  return error == 0 ? parsed.ToString() : "error " + std::to_string(error);
}

TEST(WindowsPaths, NormaliseAsTheWin32LayerDoes) {
  EXPECT_EQ(Normal("c:\\QR5\\SYSTEM"), "C:\\QR5\\SYSTEM");
  EXPECT_EQ(Normal("C:/QR5//DOC/"), "C:\\QR5\\DOC");
  EXPECT_EQ(Normal("C:\\QR5\\..\\..\\..\\WINDOWS\\.\\TEMP"), "C:\\WINDOWS\\TEMP");
  EXPECT_EQ(Normal("C:\\QR5\\name. . "), "C:\\QR5\\name");
  EXPECT_EQ(Normal("C:\\QR5.\\x"), "C:\\QR5\\x");
  EXPECT_EQ(Normal("x.txt"), "C:\\Work\\x.txt");
  EXPECT_EQ(Normal("\\x.txt"), "C:\\x.txt");
  EXPECT_EQ(Normal("D:x.txt"), "D:\\x.txt");
  EXPECT_EQ(Normal("C:x.txt"), "C:\\Work\\x.txt");
}

TEST(WindowsPaths, RefuseWhatWindowsRefuses) {
  EXPECT_EQ(Normal("C:\\a?b"), "error 123");
  EXPECT_EQ(Normal("C:\\a|b"), "error 123");
  EXPECT_EQ(Normal("C:\\a:b"), "error 123");
  EXPECT_EQ(Normal(std::string("C:\\a\x01")), "error 123");
  EXPECT_EQ(Normal("\\\\server\\share\\x"), "error 3");
  EXPECT_EQ(Normal(""), "error 3");
  EXPECT_EQ(Normal("C:\\" + std::string(257, 'a')), "error 206");
  EXPECT_EQ(Normal("C:\\" + std::string(256, 'a')), "C:\\" + std::string(256, 'a'));
  WindowsPath parsed;
  EXPECT_EQ(ParseWindowsPath("C:\\dir\\*.?", "C:\\", true, &parsed), 0u);
  EXPECT_EQ(ParseWindowsPath("C:\\d*r\\x", "C:\\", true, &parsed), 123u);
}

TEST(ShortNames, AreStableLegalAliases) {
  EXPECT_TRUE(IsLegalShortName("QR5.EXE"));
  EXPECT_TRUE(IsLegalShortName("readme.txt"));
  EXPECT_TRUE(IsLegalShortName("PROGRA~1"));
  EXPECT_FALSE(IsLegalShortName("Program Files"));
  EXPECT_FALSE(IsLegalShortName("LANGUAGE.ENGL"));
  EXPECT_FALSE(IsLegalShortName("a.b.c"));
  EXPECT_FALSE(IsLegalShortName(".profile"));
  const std::string alias = MakeShortName("Quorlin 5 manual.lnk");
  EXPECT_TRUE(IsLegalShortName(alias)) << alias;
  EXPECT_EQ(alias.substr(0, 5), "QUOR~");
  EXPECT_EQ(alias.substr(alias.size() - 4), ".LNK");
  EXPECT_EQ(MakeShortName("quorlin 5 MANUAL.LNK"), alias);
  EXPECT_NE(MakeShortName("Quorlin 5 manuals.lnk"), alias);
}

TEST(HostPaths, MapToWindowsPaths) {
  EXPECT_EQ(HostToWindowsPath("/m", "/m/drives/D/Setup/QR5_Installer"), "D:\\Setup\\QR5_Installer");
  EXPECT_EQ(HostToWindowsPath("/m", "/m/drives/d"), "D:\\");
  EXPECT_EQ(HostToWindowsPath("/m", "/m/drives/CD/x"), "");
  EXPECT_EQ(HostToWindowsPath("/m", "/other/drives/C/x"), "");
  EXPECT_EQ(HostToWindowsPath("/m", "/m/drives/C/caf\xC3\xA9"), "C:\\caf\xE9");
}

class SimPaths : public simtest::SimMachineTest {};

TEST_F(SimPaths, ExistingNamesResolveInAnyCaseAndNewNamesKeepTheirs) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Quorlin Data"));
  ASSERT_TRUE(Write("c:\\quorlin data\\New File.TXT", "x"));
  EXPECT_EQ(sim_->HostPath("C:\\QUORLIN DATA\\new file.txt"), root_ + "/drives/C/Quorlin Data/New File.TXT");
  EXPECT_EQ(HostRead(root_ + "/drives/C/Quorlin Data/New File.TXT"), "x");
  EXPECT_EQ(sim_->HostPath("C:\\quorlin data\\Not Yet.txt"), root_ + "/drives/C/Quorlin Data/Not Yet.txt");
  // Renaming to another spelling of the same name changes only the spelling.
  ASSERT_TRUE(files().MoveFileReplace("C:\\Quorlin Data\\new file.txt", "C:\\Quorlin Data\\NEW FILE.TXT"));
  auto search = files().FindFirst("C:\\Quorlin Data\\*.txt", 63);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Current().name, "NEW FILE.TXT");
}

TEST_F(SimPaths, AccentedNamesAreUtf8OnTheHostAndAnsiOnWindows) {
  ASSERT_TRUE(Write("C:\\Caf\xE9.txt", "x"));  // é in Windows-1252
  EXPECT_EQ(HostRead(root_ + "/drives/C/Caf\xC3\xA9.txt"), "x");
  EXPECT_NE(files().GetFileAttributes("C:\\CAF\xC9.TXT"), INVALID_FILE_ATTRIBUTES);  // É
  auto search = files().FindFirst("C:\\Caf*", 63);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Current().name, "Caf\xE9.txt");
}

TEST_F(SimPaths, AliasesOpenTheirEntriesAndSearchesMatchThem) {
  ASSERT_TRUE(Write("C:\\Program Files\\Quorlin Suite Readme.html", "page"));
  const std::string alias = MakeShortName("Quorlin Suite Readme.html");
  EXPECT_EQ(HostRead(sim_->HostPath("C:\\" + MakeShortName("Program Files") + "\\" + alias)), "page");
  auto search = files().FindFirst("C:\\Program Files\\Quorlin*", 63);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Current().short_name, alias);
  // As on Windows, "*.htm" also finds the .html file through its alias.
  EXPECT_NE(files().FindFirst("C:\\Program Files\\*.htm", 63), nullptr);
  // A name that already fits 8.3 has no alias.
  ASSERT_TRUE(Write("C:\\QR5.INI", ""));
  search = files().FindFirst("C:\\qr5.ini", 63);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(search->Current().short_name, "");
}

TEST_F(SimPaths, HostNamesWindowsCannotSpellAreOutOfReach) {
  HostWrite(root_ + "/drives/C/a:b", "x");
  HostWrite(root_ + "/drives/C/\xE2\x98\x83", "snowman");  // not in Windows-1252
  auto search = files().FindFirst("C:\\*", 63);
  ASSERT_NE(search, nullptr);
  do {
    EXPECT_NE(search->Current().name, "a:b");
    EXPECT_NE(search->Current().name, "?");
  } while (search->Next());
}

TEST_F(SimPaths, NothingEscapesTheDrive) {
  EXPECT_EQ(sim_->HostPath("C:\\..\\..\\registry.reg"), root_ + "/drives/C/registry.reg");
  EXPECT_EQ(files().GetFileAttributes("C:\\..\\machine.ini"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

#endif  // _WIN32
