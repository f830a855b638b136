// Shell links: the .lnk files of the program group, the desktop icon and
// the Startup entry.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>

#include "contract_helpers.h"

using contract::Files;
using contract::ReadBytes;
using contract::WriteBytes;

namespace {

std::string Utf16(const std::string& ascii) {
  std::string wide;
  for (char c : ascii) {
    wide.push_back(c);
    wide.push_back('\0');
  }
  return wide;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The link's bytes hold the text, in the ANSI or the UTF-16 form.
bool Holds(const std::string& link, const std::string& text) {
  const std::string upper = Upper(link);
  return upper.find(Upper(text)) != std::string::npos ||
         upper.find(Upper(Utf16(text))) != std::string::npos;
}

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

class ShellLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ContractMachine().com->Initialize());
    dir_ = ContractScratchDir();
    target_ = dir_ + "\\QR5\\QR5.EXE";
    ASSERT_TRUE(Files().CreateDirectory(dir_ + "\\QR5"));
    ASSERT_TRUE(Files().CreateDirectory(dir_ + "\\Quorlin 5"));
    ASSERT_TRUE(WriteBytes(target_, "MZ"));
  }
  void TearDown() override { ContractMachine().com->Uninitialize(); }

  bool Make(const std::string& link_path) {
    auto link = ContractMachine().com->CreateShellLink();
    if (!link) return false;
    link->SetPath(target_);
    link->SetWorkingDirectory(dir_ + "\\QR5\\");
    return link->Save(link_path);
  }

  std::string dir_;
  std::string target_;
};

TEST_F(ShellLinks, WritesALinkFileWithTargetAndWorkingFolder) {
  const std::string link_path = dir_ + "\\Quorlin 5\\Quorlin 5.lnk";
  ASSERT_TRUE(Make(link_path));
  const std::string bytes = ReadBytes(link_path);
  ASSERT_GE(bytes.size(), 76u);
  EXPECT_EQ(Le32(bytes, 0), 0x4Cu);  // header size
  const std::string clsid("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
  EXPECT_EQ(bytes.substr(4, 16), clsid);
  EXPECT_NE(Le32(bytes, 20) & 0x10, 0u);  // HasWorkingDir
  EXPECT_TRUE(Holds(bytes, "QR5\\QR5.EXE"));
  EXPECT_TRUE(Holds(bytes, dir_.substr(3) + "\\QR5\\QR5.EXE"));
  EXPECT_TRUE(Holds(bytes, dir_ + "\\QR5\\"));
}

TEST_F(ShellLinks, ReplacesAnExistingLink) {
  const std::string link_path = dir_ + "\\Quorlin 5\\Heraldo.lnk";
  ASSERT_TRUE(WriteBytes(link_path, "an old link"));
  ASSERT_TRUE(Make(link_path));
  EXPECT_EQ(Le32(ReadBytes(link_path), 0), 0x4Cu);
}

TEST_F(ShellLinks, CannotBeSavedInAMissingFolder) {
  // A caption with a "/" names a folder that does not exist.
  const std::string link_path = dir_ + "\\Quorlin 5\\Safekeep/Restore manual.lnk";
  EXPECT_FALSE(Make(link_path));
  EXPECT_EQ(Files().GetFileAttributes(link_path), qr5::platform::INVALID_FILE_ATTRIBUTES);
}

}  // namespace
