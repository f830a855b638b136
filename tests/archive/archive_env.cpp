#include "archive_env.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#include <process.h>

#include "platform/win32/win32_machine.h"
#else
#include "platform/sim/sim_machine.h"
#endif

namespace qr5::archive::test {

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {

// The real machine, one per process; each test works in a folder of its
// own below the temporary folder.
platform::Machine& RealMachine() {
  static platform::win32::Win32Machine machine;
  return machine.machine();
}

void RemoveTree(const std::string& folder) {
  auto& files = *platform::Sys().files;
  if (auto search = files.FindFirst(folder + "\\*", 0x37)) {
    do {
      const platform::FindData& entry = search->Current();
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = folder + "\\" + entry.name;
      files.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
      if (entry.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        files.DeleteFile(path);
      }
    } while (search->Next());
  }
  files.RemoveDirectory(folder);
}

}  // namespace
#endif

struct ArchiveTest::Impl {
  fs::path root;
#ifndef _WIN32
  std::unique_ptr<platform::sim::SimMachine> sim;
#endif
};

#ifdef _WIN32

void ArchiveTest::SetUp() {
  impl_ = std::make_shared<Impl>();
  platform::Install(&RealMachine());
  static int count = 0;
  base_ = platform::Sys().files->GetTempPath() + "QR5 ZipTest " + std::to_string(::_getpid()) +
          "-" + std::to_string(++count);
  RemoveTree(base_);
  ASSERT_TRUE(platform::Sys().files->CreateDirectory(base_)) << base_;
}

void ArchiveTest::TearDown() { RemoveTree(base_); }

bool ArchiveTest::LimitFreeSpace(char, int64_t) { return false; }
std::string ArchiveTest::OtherDriveFolder() { return ""; }

#else

void ArchiveTest::SetUp() {
  impl_ = std::make_shared<Impl>();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  impl_->root = fs::temp_directory_path() / ("qr5_archive_" + std::to_string(std::random_device{}()) + "_" + name);
  fs::remove_all(impl_->root);
  fs::create_directories(impl_->root);
  platform::sim::SimMachine::CreateFresh(impl_->root.string());
  impl_->sim = platform::sim::SimMachine::Open(impl_->root.string());
  platform::Install(&impl_->sim->machine());
  base_ = "C:\\ZIPTEST";
  platform::Sys().files->CreateDirectory(base_);
}

void ArchiveTest::TearDown() {
  std::error_code ec;
  // Read-only files must not keep the folder from going away.
  for (auto it = fs::recursive_directory_iterator(impl_->root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(impl_->root, ec);
}

bool ArchiveTest::LimitFreeSpace(char drive, int64_t bytes) {
  impl_->sim->SetFreeSpace(drive, bytes);
  return true;
}

std::string ArchiveTest::OtherDriveFolder() {
  platform::Sys().files->CreateDirectory("D:\\ZIPTEST");
  return "D:\\ZIPTEST";
}

#endif

void ArchiveTest::Put(const std::string& path, const std::string& bytes) {
  auto file = platform::Sys().files->OpenFile(path, platform::OpenMode::kCreateAlways);
  ASSERT_TRUE(file) << path;
  ASSERT_TRUE(file->Write(bytes.data(), static_cast<uint32_t>(bytes.size())));
}

std::string ArchiveTest::Get(const std::string& path) {
  auto file = platform::Sys().files->OpenFile(path, platform::OpenMode::kRead);
  if (!file) return "<missing>";
  std::string bytes(static_cast<size_t>(file->Size()), '\0');
  uint32_t got = 0;
  file->Read(bytes.data(), static_cast<uint32_t>(bytes.size()), &got);
  bytes.resize(got);
  return bytes;
}

bool ArchiveTest::Exists(const std::string& path) {
  return platform::Sys().files->GetFileAttributes(path) != platform::INVALID_FILE_ATTRIBUTES;
}

bool ArchiveTest::IsFolder(const std::string& path) {
  uint32_t a = platform::Sys().files->GetFileAttributes(path);
  return a != platform::INVALID_FILE_ATTRIBUTES && (a & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

uint32_t ArchiveTest::Attributes(const std::string& path) {
  return platform::Sys().files->GetFileAttributes(path);
}

platform::FileTime ArchiveTest::Time(const std::string& path) {
  auto file = platform::Sys().files->OpenFile(path, platform::OpenMode::kRead);
  platform::FileTime t = 0;
  if (file) file->GetTime(&t);
  return t;
}

void ArchiveTest::SetTime(const std::string& path, platform::FileTime time) {
  auto file = platform::Sys().files->OpenFile(path, platform::OpenMode::kReadWrite);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->SetTime(time));
}

std::string ArchiveTest::TestData(const std::string& relative) {
  std::ifstream in(std::string(QR5_TESTDATA_DIR) + "/zip/" + relative, std::ios::binary);
  if (!in) return {};
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ArchiveTest::PutTestData(const std::string& relative, const std::string& name) {
  std::string bytes = TestData(relative);
  EXPECT_FALSE(bytes.empty()) << relative;
  std::string target = Win(name.empty() ? fs::path(relative).filename().string() : name);
  Put(target, bytes);
  return target;
}

}  // namespace qr5::archive::test
