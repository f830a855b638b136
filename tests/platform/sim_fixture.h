// A fresh simulated machine in a temporary folder for one test.
#pragma once
#ifndef _WIN32

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/sim/sim_machine.h"

namespace simtest {

inline std::string HostRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void HostWrite(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
}

class SimMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qr5-simtest-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    qr5::platform::sim::SimMachine::CreateFresh(root_);
    sim_ = qr5::platform::sim::SimMachine::Open(root_);
  }
  void TearDown() override {
    sim_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  // Opens the machine again, as a new process would see it.
  void Reopen() {
    sim_.reset();
    sim_ = qr5::platform::sim::SimMachine::Open(root_);
  }

  qr5::platform::FileSystem& files() { return *sim_->machine().files; }
  qr5::platform::Profile& profile() { return *sim_->machine().profile; }
  qr5::platform::Registry& registry() { return *sim_->machine().registry; }

  bool Write(const std::string& path, const std::string& data) {
    auto file = files().OpenFile(path, qr5::platform::OpenMode::kCreateAlways);
    return file && file->Write(data.data(), static_cast<uint32_t>(data.size()));
  }

  std::string root_;
  std::unique_ptr<qr5::platform::sim::SimMachine> sim_;
};

}  // namespace simtest

#endif  // _WIN32
