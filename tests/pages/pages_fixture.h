// A simulated machine with every page and dialog created, the English
// language file and license in its temporary folder, and a scripted front
// end: tests queue user actions as steps that run while a modal loop waits.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "forms/application.h"
#include "forms/scripted_front_end.h"
#include "session/session_state.h"
#include "pages/dlg_browse_install_path.h"
#include "pages/dlg_error.h"
#include "pages/form_exit_setup.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step5.h"
#include "pages/form_step6.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace qr5::pages::testing {

inline std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class PagesTest : public ::testing::Test {
 protected:
  static constexpr char kTemp[] = "C:\\WINDOWS\\TEMP\\";

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("qr5-pages-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" +
             info->name());
    std::filesystem::remove_all(root_);
    platform::sim::SimMachine::CreateFresh(root_.string());
    sim_ = platform::sim::SimMachine::Open(root_.string());
    platform::Install(&sim_->machine());
    // As at start-up: COM for the GUI thread.
    ASSERT_TRUE(platform::Sys().com->Initialize());

    forms::App().Reset();
    forms::App().title = "QR5_Installer";
    forms::App().SetFrontEnd(&fe_);

    session::Session() = session::SessionState{};
    session::SessionState& s = session::Session();
    s.TempDir = kTemp;
    s.LanguageName = "English";
    s.LanguageExt = ".ENG";
    s.LanguageFilePath = std::string(kTemp) + "LANGUAGE.ENG";
    MakeDir("C:\\WINDOWS");
    MakeDir("C:\\WINDOWS\\TEMP");
    WriteFile(s.LanguageFilePath, ReadHostFile(std::string(QR5_SOURCE_DIR) +
                                               "/payload/suite/language.eng"));
    WriteFile(std::string(kTemp) + "LICENSE.ENG",
              ReadHostFile(std::string(QR5_SOURCE_DIR) + "/payload/suite/LICENSE.ENG"));

    exit_ = Create(FormExitSetup);
    error_ = Create(DlgError);
    browse_ = Create(DlgBrowseInstallPath);
    step2_ = Create(FormStep2);
    step3_ = Create(FormStep3);
    step4_ = Create(FormStep4);
    step5_ = Create(FormStep5);
    step6_ = Create(FormStep6);
  }

  void TearDown() override {
    FormExitSetup = nullptr;
    DlgError = nullptr;
    DlgBrowseInstallPath = nullptr;
    FormStep2 = nullptr;
    FormStep3 = nullptr;
    FormStep4 = nullptr;
    FormStep5 = nullptr;
    FormStep6 = nullptr;
    step6_.reset();
    step5_.reset();
    step4_.reset();
    step3_.reset();
    step2_.reset();
    browse_.reset();
    error_.reset();
    exit_.reset();
    forms::App().Reset();
    sim_->machine().com->Uninitialize();
    platform::Install(nullptr);
    sim_.reset();
    std::filesystem::remove_all(root_);
  }

  template <typename T>
  std::unique_ptr<T> Create(T*& global) {
    auto form = std::make_unique<T>();
    global = form.get();
    return form;
  }

  // A user action, run when the innermost modal loop waits for input.
  void Then(std::function<void()> step) { fe_.steps.push_back(std::move(step)); }

  platform::FileSystem& Files() { return *platform::Sys().files; }

  void WriteFile(const std::string& path, const std::string& data) {
    auto file = Files().OpenFile(path, platform::OpenMode::kCreateAlways);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->Write(data.data(), static_cast<uint32_t>(data.size()))) << path;
  }
  void MakeDir(const std::string& path) {
    if (Files().GetFileAttributes(path) == platform::INVALID_FILE_ATTRIBUTES) {
      ASSERT_TRUE(Files().CreateDirectory(path)) << path;
    }
  }
  // A drive of the simulated machine (a folder of its host tree).
  void AddDrive(char letter) {
    std::filesystem::create_directories(root_ / "drives" / std::string(1, letter));
  }
  void SetInstallerText(const std::string& key, const std::string& value) {
    ASSERT_TRUE(platform::Sys().profile->WriteString(session::Session().LanguageFilePath,
                                                     "Installer", key, value));
  }

  // The message boxes shown so far, as "caption|text".
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& b : fe_.boxes) out.push_back(b.caption + "|" + b.text);
    return out;
  }
  int Shown(const std::string& class_name) const {
    return static_cast<int>(std::count(fe_.shown.begin(), fe_.shown.end(), class_name));
  }

  std::filesystem::path root_;
  std::unique_ptr<platform::sim::SimMachine> sim_;
  qr5::testing::ScriptedFrontEnd fe_;
  std::unique_ptr<TFormExitSetup> exit_;
  std::unique_ptr<TDlgError> error_;
  std::unique_ptr<TDlgBrowseInstallPath> browse_;
  std::unique_ptr<TFormStep2> step2_;
  std::unique_ptr<TFormStep3> step3_;
  std::unique_ptr<TFormStep4> step4_;
  std::unique_ptr<TFormStep5> step5_;
  std::unique_ptr<TFormStep6> step6_;
};

}  // namespace qr5::pages::testing
