// Registry: the reads and writes of the registry records, the Program Files
// lookup and the shell folders.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <vector>

#include "contract_helpers.h"

using namespace qr5::platform;

namespace {

Registry& Reg() { return *ContractMachine().registry; }

// A key of its own for each test, under HKEY_CURRENT_USER.
std::string FreshKey() {
  static int count = 0;
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return "Software\\QR5 Contract\\Run" + std::to_string(now) + "-" + std::to_string(++count);
}

std::vector<uint8_t> Text(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

struct Read {
  long status = -1;
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

Read ReadValue(HKEY key, const std::string& name) {
  Read read;
  uint32_t size = 0;
  read.status = Reg().QueryValue(key, name, &read.type, nullptr, &size);
  if (read.status != ERROR_SUCCESS) return read;
  read.data.resize(size);
  read.status = Reg().QueryValue(key, name, &read.type, read.data.data(), &size);
  read.data.resize(size);
  return read;
}

TEST(Registry, WritesAndReadsTextValues) {
  HKEY key = 0;
  ASSERT_EQ(Reg().CreateKey(HKEY_CURRENT_USER, FreshKey(), &key), ERROR_SUCCESS);
  const auto data = Text("C:\\Program Files\\QR5");
  ASSERT_EQ(Reg().SetValue(key, "Installation Path", REG_SZ, data.data(), data.size()), ERROR_SUCCESS);
  const Read read = ReadValue(key, "Installation Path");
  EXPECT_EQ(read.status, ERROR_SUCCESS);
  EXPECT_EQ(read.type, REG_SZ);
  EXPECT_EQ(read.data, data);
  EXPECT_EQ(Reg().CloseKey(key), ERROR_SUCCESS);
}

TEST(Registry, ReturnsExpandableTextUnexpanded) {
  HKEY key = 0;
  ASSERT_EQ(Reg().CreateKey(HKEY_CURRENT_USER, FreshKey(), &key), ERROR_SUCCESS);
  const auto data = Text("%SystemRoot%\\QR5");
  ASSERT_EQ(Reg().SetValue(key, "Path", REG_EXPAND_SZ, data.data(), data.size()), ERROR_SUCCESS);
  const Read read = ReadValue(key, "Path");
  EXPECT_EQ(read.type, REG_EXPAND_SZ);
  EXPECT_EQ(read.data, data);
  Reg().CloseKey(key);
}

TEST(Registry, KeepsNumbersAndBinaryDataAsTheyAre) {
  HKEY key = 0;
  ASSERT_EQ(Reg().CreateKey(HKEY_CURRENT_USER, FreshKey(), &key), ERROR_SUCCESS);
  const uint8_t dword[4] = {0x2A, 0, 0, 0x80};
  ASSERT_EQ(Reg().SetValue(key, "Language", REG_DWORD, dword, 4), ERROR_SUCCESS);
  const uint8_t binary[3] = {0x00, 0xFF, 0x10};
  ASSERT_EQ(Reg().SetValue(key, "Blob", REG_BINARY, binary, 3), ERROR_SUCCESS);
  const Read number = ReadValue(key, "Language");
  EXPECT_EQ(number.type, REG_DWORD);
  EXPECT_EQ(number.data, std::vector<uint8_t>(dword, dword + 4));
  const Read blob = ReadValue(key, "Blob");
  EXPECT_EQ(blob.type, REG_BINARY);
  EXPECT_EQ(blob.data, std::vector<uint8_t>(binary, binary + 3));
  Reg().CloseKey(key);
}

TEST(Registry, ReportsTheSizeNeededForASmallBuffer) {
  HKEY key = 0;
  ASSERT_EQ(Reg().CreateKey(HKEY_CURRENT_USER, FreshKey(), &key), ERROR_SUCCESS);
  const auto data = Text("English");
  ASSERT_EQ(Reg().SetValue(key, "Language", REG_SZ, data.data(), data.size()), ERROR_SUCCESS);
  uint32_t type = 0;
  uint32_t size = 0;
  EXPECT_EQ(Reg().QueryValue(key, "Language", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 8u);
  uint8_t small[3];
  size = sizeof small;
  EXPECT_EQ(Reg().QueryValue(key, "Language", &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);
  Reg().CloseKey(key);
}

TEST(Registry, MissingKeysAndValuesAreNotFound) {
  HKEY key = 0;
  const std::string path = FreshKey();
  EXPECT_EQ(Reg().OpenKey(HKEY_CURRENT_USER, path, KeyAccess::kRead, &key), ERROR_FILE_NOT_FOUND);
  // Reading must not have made the key.
  EXPECT_EQ(Reg().OpenKey(HKEY_CURRENT_USER, path, KeyAccess::kRead, &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(Reg().CreateKey(HKEY_CURRENT_USER, path, &key), ERROR_SUCCESS);
  uint32_t type = 0;
  uint32_t size = 0;
  EXPECT_EQ(Reg().QueryValue(key, "Language", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  Reg().CloseKey(key);
}

TEST(Registry, ComparesKeyAndValueNamesWithoutRegardToCase) {
  const std::string path = FreshKey() + "\\MixedCase";
  HKEY key = 0;
  ASSERT_EQ(Reg().CreateKey(HKEY_CURRENT_USER, path, &key), ERROR_SUCCESS);
  const auto data = Text("D:\\Tools\\QR5");
  ASSERT_EQ(Reg().SetValue(key, "Installation Path", REG_SZ, data.data(), data.size()), ERROR_SUCCESS);
  Reg().CloseKey(key);

  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  HKEY again = 0;
  ASSERT_EQ(Reg().OpenKey(HKEY_CURRENT_USER, upper, KeyAccess::kWrite, &again), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(again, "INSTALLATION PATH").data, data);
  // Setting a value under another spelling replaces it: still one value.
  const auto other = Text("C:\\QR5");
  ASSERT_EQ(Reg().SetValue(again, "installation path", REG_SZ, other.data(), other.size()), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(again, "Installation Path").data, other);
  Reg().CloseKey(again);
}

TEST(Registry, OpensSubkeysOfAnOpenKey) {
  const std::string path = FreshKey();
  HKEY parent = 0;
  ASSERT_EQ(Reg().CreateKey(HKEY_CURRENT_USER, path, &parent), ERROR_SUCCESS);
  HKEY child = 0;
  ASSERT_EQ(Reg().CreateKey(parent, "Quorlin 5", &child), ERROR_SUCCESS);
  const auto data = Text("Ostrel Software");
  ASSERT_EQ(Reg().SetValue(child, "Publisher", REG_SZ, data.data(), data.size()), ERROR_SUCCESS);
  Reg().CloseKey(child);
  HKEY direct = 0;
  ASSERT_EQ(Reg().OpenKey(HKEY_CURRENT_USER, path + "\\quorlin 5", KeyAccess::kRead, &direct), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(direct, "Publisher").data, data);
  Reg().CloseKey(direct);
  Reg().CloseKey(parent);
}

TEST(Registry, KnowsTheProgramFilesFolderAndTheShellFolders) {
  HKEY key = 0;
  ASSERT_EQ(Reg().OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\MicroSoft\\Windows\\CurrentVersion", KeyAccess::kRead, &key),
            ERROR_SUCCESS);
  const Read program_files = ReadValue(key, "ProgramFilesDir");
  EXPECT_EQ(program_files.status, ERROR_SUCCESS);
  EXPECT_EQ(program_files.type, REG_SZ);
  EXPECT_GT(program_files.data.size(), 3u);
  Reg().CloseKey(key);

  ASSERT_EQ(Reg().OpenKey(HKEY_LOCAL_MACHINE,
                          "SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", KeyAccess::kRead, &key),
            ERROR_SUCCESS);
  const Read programs = ReadValue(key, "Common Programs");
  ASSERT_EQ(programs.status, ERROR_SUCCESS);
  const std::string folder(reinterpret_cast<const char*>(programs.data.data()));
  const uint32_t attributes = contract::Files().GetFileAttributes(folder);
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u) << folder;
  Reg().CloseKey(key);
}

}  // namespace
