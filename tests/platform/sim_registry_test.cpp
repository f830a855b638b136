// The simulated registry file: denied keys, atomic rewrites and the
// REGEDIT4 text itself.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>

#include "platform/sim/sim_reg_file.h"
#include "sim_fixture.h"

using namespace qr5::platform;
using qr5::platform::sim::RegDatabase;
using simtest::HostRead;
using simtest::HostWrite;

namespace {

class SimRegistryFile : public simtest::SimMachineTest {
 protected:
  long SetText(HKEY key, const std::string& name, const std::string& text) {
    return registry().SetValue(key, name, REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()),
                               static_cast<uint32_t>(text.size() + 1));
  }
};

TEST_F(SimRegistryFile, DeniedKeysRefuseFullAccessBelowThemToo) {
  const std::string uninstall = "SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Uninstall";
  HKEY early = 0;
  ASSERT_EQ(registry().CreateKey(HKEY_LOCAL_MACHINE, uninstall + "\\Other", &early), ERROR_SUCCESS);
  sim_->DenyRegistryKey(HKEY_LOCAL_MACHINE, uninstall);

  HKEY key = 0;
  EXPECT_EQ(registry().OpenKey(HKEY_LOCAL_MACHINE, uninstall, KeyAccess::kRead, &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry().CreateKey(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows\\currentversion\\uninstall",
                                 &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry().CreateKey(HKEY_LOCAL_MACHINE, uninstall + "\\Quorlin 5", &key), ERROR_ACCESS_DENIED);
  // A handle opened before the denial loses its access as well.
  EXPECT_EQ(SetText(early, "DisplayName", "x"), ERROR_ACCESS_DENIED);
  // Keys beside it stay open, and nothing was written.
  EXPECT_EQ(registry().OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KeyAccess::kRead, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(registry().CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstaller",
                                 &key),
            ERROR_SUCCESS);
  EXPECT_EQ(HostRead(root_ + "/registry.reg").find("Quorlin 5"), std::string::npos);
  EXPECT_NE(HostRead(root_ + "/registry-denied.txt")
                .find("HKEY_LOCAL_MACHINE\\SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\n"),
            std::string::npos);
}

// A limited user: the machine's keys read, but nothing below them opens for
// writing, is created, changed or deleted; and a handle opened for reading
// never writes, wherever it points.
TEST_F(SimRegistryFile, ReadOnlyKeysReadButRefuseEveryChange) {
  HKEY key = 0, read = 0;
  ASSERT_EQ(registry().CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Old", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "Kept", "yes"), ERROR_SUCCESS);
  sim_->MakeRegistryKeyReadOnly(HKEY_LOCAL_MACHINE, "SOFTWARE");

  ASSERT_EQ(registry().OpenKey(HKEY_LOCAL_MACHINE, "software\\borland\\old", KeyAccess::kRead, &read), ERROR_SUCCESS);
  uint32_t size = 0;
  EXPECT_EQ(registry().QueryValue(read, "Kept", nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(registry().OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Old", KeyAccess::kWrite, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry().CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Old", &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry().CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(SetText(read, "Kept", "no"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry().DeleteValue(read, "Kept"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry().DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Old"), ERROR_ACCESS_DENIED);

  ASSERT_EQ(registry().OpenKey(HKEY_CURRENT_USER, "Software", KeyAccess::kRead, &read), ERROR_SUCCESS);
  EXPECT_EQ(SetText(read, "x", "y"), ERROR_ACCESS_DENIED);
  ASSERT_EQ(registry().OpenKey(HKEY_CURRENT_USER, "Software", KeyAccess::kWrite, &key), ERROR_SUCCESS);
  EXPECT_EQ(SetText(key, "x", "y"), ERROR_SUCCESS);
  EXPECT_NE(HostRead(root_ + "/registry.reg").find("\"Kept\"=\"yes\""), std::string::npos);
}

TEST_F(SimRegistryFile, EveryChangeReplacesTheWholeFileAtOnce) {
  HKEY key = 0;
  ASSERT_EQ(registry().CreateKey(HKEY_CURRENT_USER, "Quorlin5", &key), ERROR_SUCCESS);
  const std::string file = root_ + "/registry.reg";
  struct stat before;
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  ASSERT_EQ(SetText(key, "Language", "English"), ERROR_SUCCESS);
  struct stat after;
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  // A new file took the old one's place: the old one was never rewritten.
  EXPECT_NE(before.st_ino, after.st_ino);
  // No temporary file is left behind.
  int entries = 0;
  DIR* dir = ::opendir(root_.c_str());
  while (dirent* entry = ::readdir(dir)) {
    EXPECT_EQ(std::string(entry->d_name).find(".new-"), std::string::npos) << entry->d_name;
    ++entries;
  }
  ::closedir(dir);
  EXPECT_GT(entries, 2);
  EXPECT_NO_THROW(RegDatabase::Parse(HostRead(file), file));
}

TEST_F(SimRegistryFile, ValuesReadBackFromTheFileAsWritten) {
  HKEY key = 0;
  ASSERT_EQ(registry().CreateKey(HKEY_CURRENT_USER, "Quorlin5", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "Installation Path", "C:\\Program Files\\\"Q\"R5"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "", "default"), ERROR_SUCCESS);
  const std::string expand("%TEMP%\\x", 9);
  ASSERT_EQ(registry().SetValue(key, "Expand", REG_EXPAND_SZ, reinterpret_cast<const uint8_t*>(expand.data()), 9),
            ERROR_SUCCESS);
  const uint8_t dword[4] = {0x78, 0x56, 0x34, 0x12};
  ASSERT_EQ(registry().SetValue(key, "Number", REG_DWORD, dword, 4), ERROR_SUCCESS);
  std::vector<uint8_t> blob(100);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i * 7);
  ASSERT_EQ(registry().SetValue(key, "Blob", REG_BINARY, blob.data(), 100), ERROR_SUCCESS);
  const uint8_t multi[] = {'a', 0, 'b', 0, 0};
  ASSERT_EQ(registry().SetValue(key, "Multi", REG_MULTI_SZ, multi, 5), ERROR_SUCCESS);

  const std::string text = HostRead(root_ + "/registry.reg");
  EXPECT_EQ(text.rfind("REGEDIT4\r\n", 0), 0u);
  EXPECT_NE(text.find("\r\n[HKEY_CURRENT_USER\\Quorlin5]\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Installation Path\"=\"C:\\\\Program Files\\\\\\\"Q\\\"R5\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("@=\"default\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Expand\"=hex(2):25,54,45,4d,50,25,5c,78,00\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Number\"=dword:12345678\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Multi\"=hex(7):61,00,62,00,00\r\n"), std::string::npos);
  EXPECT_NE(text.find(",\\\r\n  "), std::string::npos);  // long hex data wraps as regedit's does

  Reopen();
  HKEY again = 0;
  ASSERT_EQ(registry().OpenKey(HKEY_CURRENT_USER, "QUORLIN5", KeyAccess::kRead, &again), ERROR_SUCCESS);
  std::vector<uint8_t> read(200);
  uint32_t size = 200;
  uint32_t type = 0;
  ASSERT_EQ(registry().QueryValue(again, "blob", &type, read.data(), &size), ERROR_SUCCESS);
  read.resize(size);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(read, blob);
  size = 200;
  ASSERT_EQ(registry().QueryValue(again, "Installation Path", &type, read.data(), &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(read.data())), "C:\\Program Files\\\"Q\"R5");
}

TEST(RegFile, ReadsWhatRegeditWrites) {
  const RegDatabase db = RegDatabase::Parse(
      "\xEF\xBB\xBFREGEDIT4\r\n"
      "\r\n"
      "; exported\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Database Engine]\r\n"
      "\"CONFIGFILE01\"=\"C:\\\\Program Files\\\\Common Files\\\\Borland Shared\\\\BDE\\\\IDAPI32.CFG\"\r\n"
      "\"Flags\" = dword:0000002A\r\n"
      "\"Data\"=hex:01,02,\\\r\n"
      "  03,04\r\n"
      "\"Gone\"=\"x\"\r\n"
      "\"Gone\"=-\r\n"
      "[hkey_local_machine\\software\\BORLAND\\database engine\\Settings]\r\n"
      "[HKEY_CURRENT_USER\\Old]\r\n"
      "[-HKEY_CURRENT_USER\\Old]\r\n",
      "test.reg");
  RegDatabase copy = db;
  auto* key = copy.Find("HKEY_LOCAL_MACHINE\\SOFTWARE\\BORLAND\\DATABASE ENGINE");
  ASSERT_NE(key, nullptr);
  ASSERT_NE(key->Find("configfile01"), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(key->Find("CONFIGFILE01")->data.data())),
            "C:\\Program Files\\Common Files\\Borland Shared\\BDE\\IDAPI32.CFG");
  EXPECT_EQ(key->Find("Flags")->data, (std::vector<uint8_t>{0x2A, 0, 0, 0}));
  EXPECT_EQ(key->Find("Data")->data, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(key->Find("Gone"), nullptr);
  EXPECT_TRUE(copy.Exists("HKEY_LOCAL_MACHINE\\SOFTWARE"));
  EXPECT_TRUE(copy.Exists("HKLM\\Software\\Borland\\Database Engine\\Settings"));
  EXPECT_FALSE(copy.Exists("HKEY_CURRENT_USER\\Old"));
  // Written out and read again, nothing changes.
  const std::string text = copy.Serialize();
  EXPECT_EQ(RegDatabase::Parse(text, "again.reg").Serialize(), text);
}

}  // namespace

#endif  // _WIN32
