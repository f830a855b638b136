// The machine the archive tests run on: a fresh simulated Windows machine
// per test on the host, with helpers to put files on it and read them back
// through the platform layer (so the checks see what the reader wrote).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"

namespace qr5::archive::test {

class ArchiveTest : public ::testing::Test {
 public:
  // A file of the shared test data (host path relative to its zip folder).
  static std::string TestData(const std::string& relative);

 protected:
  void SetUp() override;
  void TearDown() override;

  // A Windows path inside the test's own folder.
  std::string Win(const std::string& relative) const { return base_ + "\\" + relative; }
  const std::string& Base() const { return base_; }

  void Put(const std::string& path, const std::string& bytes);
  std::string Get(const std::string& path);
  bool Exists(const std::string& path);
  bool IsFolder(const std::string& path);
  uint32_t Attributes(const std::string& path);
  platform::FileTime Time(const std::string& path);
  void SetTime(const std::string& path, platform::FileTime time);
  // Limits the free space of a drive of the simulated machine; false on a
  // machine that cannot (the real one).
  bool LimitFreeSpace(char drive, int64_t bytes);
  // A folder on another drive (the simulated machine's D:), or "" when the
  // machine has none to spare.
  std::string OtherDriveFolder();

  // Copies a test data archive onto the machine; returns its Windows path.
  std::string PutTestData(const std::string& relative, const std::string& name = "");

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
  std::string base_;
};

}  // namespace qr5::archive::test
