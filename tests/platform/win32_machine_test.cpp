// What the Windows machine adds to the contract: the error texts, the
// version and locale facts, OEM text, and the message queue of the minimal
// front end. Runs on Windows and under Wine.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "contract_helpers.h"
#include "front_ends/win32/win32_front_end.h"

#include <windows.h>
// The interface's methods, not the generic macros of <windows.h>.
#undef GetDiskFreeSpace
#undef GetFileAttributes
#undef GetLogicalDriveStrings
#undef GetModuleFileName
#undef OemToAnsi

#include <cctype>

using contract::Files;

namespace {

qr5::platform::SystemInfo& System() { return *ContractMachine().system; }

TEST(Win32Machine, NamesTheRunningProgramAndSystemErrors) {
  std::string self = Files().GetModuleFileName();
  for (char& c : self) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(self.find("test_platform.exe"), std::string::npos) << self;
  EXPECT_EQ(self[1], ':');

  const std::string text = Files().SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_GT(text.size(), 5u);
  EXPECT_EQ(Files().SystemErrorText(0xDEAD0000u), "");
}

TEST(Win32Machine, FailsFreeSpaceAndSearchesOnAMissingDrive) {
  // The last drive letter of the alphabet that the system does not list.
  const std::string drives = Files().GetLogicalDriveStrings();
  char missing = 0;
  for (char letter = 'Y'; letter > 'C'; --letter) {
    if (drives.find(std::string(1, letter) + ":\\") == std::string::npos) {
      missing = letter;
      break;
    }
  }
  ASSERT_NE(missing, 0) << "every drive letter is in use";
  const std::string root = std::string(1, missing) + ":\\";
  const uint32_t old_mode = Files().SetErrorMode(SEM_FAILCRITICALERRORS);
  int64_t free_bytes = 12345;
  EXPECT_FALSE(Files().GetDiskFreeSpace(root, &free_bytes));
  EXPECT_NE(Files().GetLastError(), 0u);
  EXPECT_EQ(Files().GetFileAttributes(root), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Files().FindFirst(root + "*", 63), nullptr);
  EXPECT_EQ(Files().SetErrorMode(old_mode), static_cast<uint32_t>(SEM_FAILCRITICALERRORS));
}

TEST(Win32Machine, ReportsFailuresOfOpenFiles) {
  const std::string path = ContractScratchDir() + "\\data.bin";
  ASSERT_TRUE(contract::WriteBytes(path, "abc"));
  auto file = Files().OpenFile(path, qr5::platform::OpenMode::kRead);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->Write("x", 1));  // opened for reading only
  EXPECT_EQ(Files().GetLastError(), static_cast<uint32_t>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(file->Seek(-1));
  ASSERT_TRUE(file->Seek(2));
  EXPECT_EQ(file->Position(), 2);
  char byte = 0;
  uint32_t got = 0;
  ASSERT_TRUE(file->Read(&byte, 1, &got));
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(byte, 'c');
  ASSERT_TRUE(file->Read(&byte, 1, &got));
  EXPECT_EQ(got, 0u);  // the end of the file is no error
}

TEST(Win32Machine, TellsTheVersionAndTheLanguage) {
  qr5::platform::OsVersion version;
  ASSERT_TRUE(System().GetVersion(&version));
  EXPECT_EQ(version.platform_id, 2);  // the NT family
  EXPECT_GE(version.major, 5);
  EXPECT_GT(version.build, 0);
  // The thread's locale is one of the supported ones, so it has a name.
  EXPECT_FALSE(System().ThreadLanguageName().empty());
  // Its English name, whatever the language of Windows: the language list
  // looks for "French", never for "Fran\xE7ais".
  const LCID before = ::GetThreadLocale();
  ASSERT_TRUE(::SetThreadLocale(MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT)));
  const std::string french = System().ThreadLanguageName();
  ::SetThreadLocale(before);
  EXPECT_NE(french.find("French"), std::string::npos) << french;
}

TEST(Win32Machine, ConvertsOemTextByteForByte) {
  // Code page 437 (or 850) "ü" and "é" are 0x81 and 0x82; Windows-1252 has
  // them at 0xFC and 0xE9. Every byte maps to one byte, a zero byte too.
  const std::string oem("M\x81nchen\0\x82", 9);
  const std::string ansi = System().OemToAnsi(oem);
  ASSERT_EQ(ansi.size(), oem.size());
  if (::GetOEMCP() == 437 || ::GetOEMCP() == 850) {
    EXPECT_EQ(ansi, std::string("M\xFCnchen\0\xE9", 9));
  }
  EXPECT_EQ(System().OemToAnsi("PLAIN.TXT"), "PLAIN.TXT");
  EXPECT_EQ(System().OemToAnsi(""), "");
}

TEST(Win32FrontEnd, EndsTheWaitWhenNothingCanArrive) {
  qr5::front_ends::win32::Win32FrontEnd front_end(::GetModuleHandleA(nullptr), SW_SHOWNORMAL);
  MSG stale;
  while (::PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) {
  }
  ASSERT_TRUE(::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0));
  EXPECT_TRUE(front_end.HandleMessage());  // delivers the posted message
  EXPECT_FALSE(front_end.HandleMessage());  // then no window could ever get input
  // A quit request survives ProcessMessages for the loop that ends on it.
  ::PostQuitMessage(0);
  front_end.ProcessMessages();
  EXPECT_FALSE(front_end.HandleMessage());
  EXPECT_FALSE(::PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace

#endif  // _WIN32
