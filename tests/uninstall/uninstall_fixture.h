// The uninstaller's tests over a machine on which the setup installed the
// suite through its pages: snapshots of the machine to compare, the setup
// and the uninstaller run as the user starts them, and the pages driven.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "app/program_entry.h"
#include "session/session_state.h"
#include "forms/application.h"
#include "install/install_fixture.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step6.h"
#include "uninstall/install_paths.h"
#include "uninstall_app/program_entry.h"
#include "uninstall_app/uninstall_driver.h"

namespace qr5::uninstall::testing {

namespace fs = std::filesystem;
using install::testing::InstallTest;
using install::testing::ReadHostFile;
using install::testing::WriteHostFile;

inline constexpr char kTempCopy[] = "C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE";
inline constexpr char kEngineFolder[] = "C:\\Program Files\\Borland";
inline constexpr char kEngineKey[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland";
inline const std::string kGroup = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Quorlin 5";
inline constexpr char kUninstallEntry[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5";
inline const std::string kDesktopLink = "C:\\Documents and Settings\\All Users\\Desktop\\Quorlin 5.lnk";

// Every file and folder on the drives (bytes and attributes), and every
// registry value with its key.
struct Snapshot {
  std::map<std::string, std::string> files;  // Windows path -> attributes + bytes
  std::set<std::string> values;              // "[key]" + value line
};

// The entries of a that b lacks or holds otherwise.
template <typename Map>
std::set<std::string> Changed(const Map& a, const Map& b);

template <>
inline std::set<std::string> Changed(const std::map<std::string, std::string>& a,
                              const std::map<std::string, std::string>& b) {
  std::set<std::string> out;
  for (const auto& [path, content] : a) {
    const auto it = b.find(path);
    if (it == b.end() || it->second != content) out.insert(path);
  }
  for (const auto& [path, content] : b) {
    if (!a.count(path)) out.insert(path);
  }
  return out;
}

inline std::set<std::string> Differ(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::set<std::string> out;
  std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
  return out;
}

inline bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

class UninstallTest : public InstallTest {
 protected:
  Snapshot Take() {
    Snapshot shot;
    for (const auto& entry : fs::recursive_directory_iterator(root_ + "/drives")) {
      std::string relative = fs::relative(entry.path(), root_ + "/drives").generic_string();
      std::replace(relative.begin(), relative.end(), '/', '\\');
      const std::string path = relative.substr(0, 1) + ":" + relative.substr(1);
      std::string content = std::to_string(files().GetFileAttributes(path)) + ":";
      if (entry.is_regular_file()) content += ReadHostFile(entry.path().string());
      shot.files[path] = content;
    }
    std::istringstream reg(ReadHostFile(root_ + "/registry.reg"));
    std::string line, key;
    while (std::getline(reg, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (StartsWith(line, "[")) {
        key = line;
      } else if (!line.empty() && line != "REGEDIT4") {
        shot.values.insert(key + line);
      }
    }
    return shot;
  }

  // The setup through its pages into dir, finishing with both shortcuts.
  void Install(const std::string& language, const std::string& dir) {
    Reopen();
    fe_.steps.push_back([language] {
      auto& page = *pages::FormStep1;
      const auto& items = page.LangCombo.items;
      const auto it = std::find(items.begin(), items.end(), language);
      ASSERT_NE(it, items.end());
      page.SelectItem("LangCombo", static_cast<int>(it - items.begin()));
      page.Click("OKButton");
    });
    fe_.steps.push_back([] { pages::FormStep2->Click("NextButton"); });
    fe_.steps.push_back([] {
      pages::FormStep3->Click("RBAccept");
      pages::FormStep3->Click("NextButton");
    });
    fe_.steps.push_back([dir] {
      session::Session().InstallDir = dir;
      pages::FormStep4->Click("NextButton");
    });
    fe_.steps.push_back([] { pages::FormStep6->Click("FinishButton"); });
    app::RunProgram(fe_);
    ASSERT_TRUE(fe_.steps.empty()) << "the setup did not reach its finish page";
    ASSERT_TRUE(FileExists(dir + "\\QR5_UNINSTALLER.EXE"));
  }

  // The program at exe as a new process, its pages driven by steps.
  void Run(const std::string& exe, std::deque<std::function<void()>> steps,
           const std::string& arguments = "") {
    Reopen();
    sim_->SetModuleFileName(exe);
    sim_->SetArguments(arguments);
    fe_.steps = std::move(steps);
    uninstall::RunUninstaller(fe_);
    EXPECT_TRUE(fe_.steps.empty()) << "pages shown other than expected";
  }

  // Starts the installed uninstaller as Add/Remove Programs does, from the
  // uninstall entry, and drives the copy it hands over to.
  void Uninstall(std::deque<std::function<void()>> steps) {
    const auto entry = RegText(kUninstallEntry, "UninstallString");
    ASSERT_TRUE(entry);
    UninstallBy(*entry, std::move(steps));
  }

  // Starts the uninstaller by command and drives the copy it hands over to.
  void UninstallBy(const std::string& command, std::deque<std::function<void()>> steps) {
    ASSERT_TRUE(sim_->machine().processes->StartProcess(command)) << command;
    const auto launched = sim_->TakeStartedPrograms();
    ASSERT_EQ(launched.size(), 1u);
    Run(launched[0].exe, {});
    EXPECT_TRUE(fe_.shown.empty()) << "the installed program showed a page itself";
    const auto copies = sim_->TakeStartedPrograms();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].exe, kTempCopy);
    Run(copies[0].exe, std::move(steps), copies[0].arguments);
  }

  static std::deque<std::function<void()>> ThroughThePages(std::string* finish_text = nullptr,
                                                          std::string* folder = nullptr,
                                                          std::string* finish_title = nullptr) {
    return {
        [] { Main().welcome.Click("NextButton"); },
        [folder] {
          if (folder) *folder = Main().confirm.Get("LabelFolder").text;
          Main().confirm.Click("YesButton");
        },
        [finish_text, finish_title] {
          if (finish_text) *finish_text = Main().finish.Get("Label1").text;
          if (finish_title) *finish_title = Main().finish.Get("LabelFinishTitle").text;
          Main().finish.Click("FinishButton");
        },
    };
  }

  static TUninstallMainForm& Main() {
    return *static_cast<TUninstallMainForm*>(forms::App().MainForm());
  }

  // After the removal and a start of Windows, the machine is fresh again
  // but for the engine's files and settings and what expected_too allows.
  void ExpectOnlyLeftovers(const Snapshot& before, const std::function<bool(const std::string&)>& expected_too = {}) {
    EXPECT_TRUE(FileExists(kTempCopy));
    sim_->Reboot();
    EXPECT_FALSE(FileExists(kTempCopy)) << "the copy outlives a start of Windows";
    const Snapshot after = Take();
    int engine_files = 0, engine_values = 0;
    for (const std::string& path : Changed(before.files, after.files)) {
      if (StartsWith(path, kEngineFolder)) {
        ++engine_files;
      } else {
        EXPECT_TRUE(expected_too && expected_too(path)) << "left or changed: " << path;
      }
    }
    for (const std::string& value : Differ(before.values, after.values)) {
      EXPECT_TRUE(StartsWith(value, kEngineKey)) << "registry: " << value;
      ++engine_values;
    }
    EXPECT_GT(engine_files, 5);
    EXPECT_GE(engine_values, 40);
  }
};

}  // namespace qr5::uninstall::testing
