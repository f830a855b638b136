// A fresh simulated machine in a temporary host folder, installed as the
// program's machine for one test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "forms/application.h"
#include "session/session_state.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace qr5::testing {

class SimMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "qr5app.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    platform::sim::SimMachine::CreateFresh(root_);
    sim_ = platform::sim::SimMachine::Open(root_);
    sim_->SetModuleFileName("D:\\QR5_Installer.exe");
    platform::Install(&sim_->machine());
    forms::App().Reset();
    session::Session() = session::SessionState();
  }
  void TearDown() override {
    forms::App().Reset();
    session::Session() = session::SessionState();
    platform::Install(nullptr);
    sim_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  platform::FileSystem& files() { return *platform::Sys().files; }
  // The host path of a Windows path on the machine.
  std::string Host(const std::string& windows_path) { return sim_->HostPath(windows_path); }
  // Makes a file with the given content (parent folders included).
  void WriteFile(const std::string& windows_path, const std::string& content = "x") {
    const std::filesystem::path host = Host(windows_path);
    std::filesystem::create_directories(host.parent_path());
    FILE* f = std::fopen(host.c_str(), "wb");
    ASSERT_NE(f, nullptr) << windows_path;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  bool Exists(const std::string& windows_path) {
    return files().GetFileAttributes(windows_path) != platform::INVALID_FILE_ATTRIBUTES;
  }

  std::string root_;
  std::unique_ptr<platform::sim::SimMachine> sim_;
};

}  // namespace qr5::testing
