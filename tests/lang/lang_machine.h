// A fresh simulated machine for the language tests, with the application
// and the session back in their start-up state, and ways to put files,
// language files and setup executables on it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "forms/scripted_front_end.h"
#include "forms/application.h"
#include "session/session_state.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace qr5::lang::test {

namespace fs = std::filesystem;

inline const fs::path kSuiteDir = fs::path(QR5_SOURCE_DIR) / "payload" / "suite";

inline std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteHostFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// An INI text with CR LF line ends, sections in the order given.
inline std::string IniText(
    const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>&
        sections) {
  std::string text;
  for (const auto& [name, keys] : sections) {
    text += "[" + name + "]\r\n";
    for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
    text += "\r\n";
  }
  return text;
}

class LangMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / ("qr5-lang-" + std::to_string(::getpid()) + "-" +
                                         info->test_suite_name() + "-" + info->name());
    fs::remove_all(root_);
    platform::sim::SimMachine::CreateFresh((root_ / "machine").string());
    sim_ = platform::sim::SimMachine::Open((root_ / "machine").string());
    platform::Install(&sim_->machine());
    forms::App().Reset();
    forms::App().title = "QR5_Installer";
    forms::App().SetFrontEnd(&front_);
    session::Session() = session::SessionState{};
    session::Session().TempDir = platform::Sys().files->GetTempPath();
  }

  void TearDown() override {
    forms::App().Reset();
    session::Session() = session::SessionState{};
    platform::Install(nullptr);
    sim_.reset();
    fs::remove_all(root_);
  }

  const std::string& TempDir() const { return session::Session().TempDir; }

  // Writes a file on the simulated machine through the platform layer.
  void PutFile(const std::string& windows_path, const std::string& bytes) {
    auto file = platform::Sys().files->OpenFile(windows_path, platform::OpenMode::kCreateAlways);
    ASSERT_NE(file, nullptr) << windows_path;
    ASSERT_TRUE(file->Write(bytes.data(), static_cast<uint32_t>(bytes.size()))) << windows_path;
  }

  std::string GetFile(const std::string& windows_path) {
    auto file = platform::Sys().files->OpenFile(windows_path, platform::OpenMode::kRead);
    if (file == nullptr) return "<missing>";
    std::string bytes(static_cast<size_t>(file->Size()), '\0');
    uint32_t got = 0;
    file->Read(bytes.data(), static_cast<uint32_t>(bytes.size()), &got);
    bytes.resize(got);
    return bytes;
  }

  // A language file in TempDir with a display name (none when empty) and
  // page texts that name the file they come from.
  void PutLanguageFile(const std::string& name, const std::string& display_name) {
    std::vector<std::pair<std::string, std::string>> setup;
    if (!display_name.empty()) setup.push_back({"Language", display_name});
    setup.push_back({"020", "caption of " + name});
    setup.push_back({"021", "prompt of " + name});
    setup.push_back({"022", "ok of " + name});
    setup.push_back({"023", "cancel of " + name});
    PutFile(TempDir() + name, IniText({{"Setup", setup}}));
  }

  // Names in TempDir matching mask, in the order the system returns them,
  // without "." and "..".
  std::vector<std::string> TempFiles(const std::string& mask) {
    std::vector<std::string> names;
    auto search = platform::Sys().files->FindFirst(TempDir() + mask, 63);
    for (bool found = search != nullptr; found; found = search->Next()) {
      const std::string& name = search->Current().name;
      if (name != "." && name != "..") names.push_back(name);
    }
    return names;
  }

  // A setup executable as the build makes one: a stub program with a ZIP of
  // the host folder content appended, offsets counted from the start of the
  // file (Info-ZIP's zip, then zip -A). Placed on the machine at
  // windows_path and made the running executable.
  void InstallSetup(const fs::path& content, const std::string& windows_path) {
    const fs::path zip = root_ / "payload.zip";
    const fs::path exe = root_ / "setup.exe";
    fs::remove(zip);
    const std::string pack = "cd '" + content.string() + "' && zip -q -X -r '" + zip.string() + "' .";
    ASSERT_EQ(std::system(pack.c_str()), 0) << pack;
    WriteHostFile(exe, StubBytes() + ReadHostFile(zip));
    const std::string adjust = "zip -q -A '" + exe.string() + "'";
    ASSERT_EQ(std::system(adjust.c_str()), 0) << adjust;
    InstallExecutable(ReadHostFile(exe), windows_path);
  }

  // A setup executable without any payload.
  void InstallExecutable(const std::string& bytes, const std::string& windows_path) {
    sim_->SetModuleFileName("");  // it does not run while it is written
    PutFile(windows_path, bytes);
    sim_->SetModuleFileName(windows_path);
  }

  static std::string StubBytes() {
    std::string stub = "MZ stand-in of the setup program's code\r\n";
    stub.resize(4096, '\0');
    return stub;
  }

  fs::path root_;
  std::unique_ptr<platform::sim::SimMachine> sim_;
  qr5::testing::ScriptedFrontEnd front_;
};

}  // namespace qr5::lang::test
