// The whole life of an installation on the simulated machine: the setup
// driven through its pages, then the installed QR5_UNINSTALLER.EXE through
// its own (from the copy it starts in the temporary folder), and the machine
// compared with what it was before.
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
#include "lang/ini_normal_form.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step6.h"
#include "platform/sim/sim_ini_text.h"
#include "uninstall/install_paths.h"
#include "uninstall_app/program_entry.h"
#include "uninstall_app/uninstall_driver.h"

namespace qr5::uninstall {
namespace {

namespace fs = std::filesystem;
using install::testing::InstallTest;
using install::testing::ReadHostFile;

constexpr char kTempCopy[] = "C:\\WINDOWS\\TEMP\\QR5_UNINSTALLER.EXE";
constexpr char kEngineFolder[] = "C:\\Program Files\\Borland";
constexpr char kEngineKey[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland";
const std::string kGroup = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Quorlin 5";
const std::string kDesktopLink = "C:\\Documents and Settings\\All Users\\Desktop\\Quorlin 5.lnk";

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
std::set<std::string> Changed(const std::map<std::string, std::string>& a,
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

std::set<std::string> Differ(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::set<std::string> out;
  std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
  return out;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

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
  void Run(const std::string& exe, std::deque<std::function<void()>> steps) {
    Reopen();
    sim_->SetModuleFileName(exe);
    fe_.steps = std::move(steps);
    uninstall::RunUninstaller(fe_);
    EXPECT_TRUE(fe_.steps.empty()) << "pages shown other than expected";
  }

  // Starts the installed uninstaller as Add/Remove Programs does, from the
  // uninstall entry, and drives the copy it hands over to.
  void Uninstall(std::deque<std::function<void()>> steps) {
    const auto entry = RegText(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5",
        "UninstallString");
    ASSERT_TRUE(entry);
    ASSERT_TRUE(sim_->machine().processes->StartProcess(*entry)) << *entry;
    const auto launched = sim_->TakeStartedPrograms();
    ASSERT_EQ(launched.size(), 1u);
    Run(launched[0].exe, {});
    EXPECT_TRUE(fe_.shown.empty()) << "the installed program showed a page itself";
    const auto copies = sim_->TakeStartedPrograms();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].exe, kTempCopy);
    Run(copies[0].exe, std::move(steps));
  }

  static std::deque<std::function<void()>> ThroughThePages(std::string* finish_text = nullptr,
                                                           std::string* finish_title = nullptr) {
    return {
        [] { Main().welcome.Click("NextButton"); },
        [] { Main().confirm.Click("YesButton"); },
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

TEST_F(UninstallTest, EnglishInstallationRemovedThroughThePagesLeavesOnlyTheEngine) {
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  ASSERT_TRUE(FileExists(kDesktopLink));
  // A link the user copied: its name in capitals, its target in other letter
  // case than the install folder. Still ours, and the group still goes.
  {
    ASSERT_TRUE(platform::Sys().com->Initialize());
    std::unique_ptr<platform::ShellLink> copy = platform::Sys().com->CreateShellLink();
    ASSERT_TRUE(copy && copy->SetPath("c:\\qr5\\qr5.exe") && copy->Save(kGroup + "\\LOGBOOK.LNK"));
    platform::Sys().com->Uninitialize();
  }
  std::string finish, title;
  Uninstall(ThroughThePages(&finish, &title));
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_EQ(title, "Completing the Quorlin 5 Uninstall Wizard") << "a heading, not the caption";
  EXPECT_EQ(fe_.boxes.size(), 0u);
  EXPECT_FALSE(DirExists("C:\\QR5"));
  EXPECT_FALSE(DirExists(kGroup));
  ExpectOnlyLeftovers(fresh);

  // Nothing is recorded any more: a second run says so and changes nothing.
  const Snapshot after = Take();
  Run("D:\\SETUP\\QR5_UNINSTALLER.EXE", {});
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Quorlin 5 is not installed on this computer.");
  EXPECT_TRUE(fe_.shown.empty());
  EXPECT_TRUE(Changed(after.files, Take().files).empty());
}

TEST_F(UninstallTest, ItalianOverAnEarlierEnglishInstallationInAnotherFolder) {
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  Install("Italiano", "D:\\My Apps\\QR5");
  const Snapshot two = Take();
  std::string finish;
  Uninstall(ThroughThePages(&finish));
  EXPECT_EQ(finish, "Quorlin 5 \xE8 stato rimosso dal computer.") << finish;
  EXPECT_FALSE(DirExists("D:\\My Apps\\QR5"));
  // The earlier installation's folder is no longer recorded: it stays whole;
  // so does D:\My Apps, which the setup made above the folder it was given.
  EXPECT_TRUE(DirExists("D:\\My Apps"));
  ExpectOnlyLeftovers(fresh, [&two](const std::string& path) {
    return StartsWith(path, "C:\\QR5") || path == "D:\\My Apps";
  });
  for (const auto& [path, content] : two.files) {
    if (StartsWith(path, "C:\\QR5\\")) {
      EXPECT_TRUE(FileExists(path) || DirExists(path)) << path;
    }
  }
}

// Windows 98: the group is the user's, and the copy goes through WININIT.INI,
// which Windows keeps as WININIT.BAK once it has done the deletions.
TEST_F(UninstallTest, OnWindows98TheUsersGroupGoesAndWininitDeletesTheCopy) {
  SetVersion(1, 4, 10, 0x040A08AE, " A ");
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  const std::string user_group = std::string(install::testing::kUserProfile) + "\\Start Menu\\Programs\\Quorlin 5";
  ASSERT_TRUE(DirExists(user_group));
  Uninstall(ThroughThePages());
  EXPECT_EQ(platform::Sys().profile->GetString("C:\\WINDOWS\\WININIT.INI", "rename", "NUL", ""),
            files().GetShortPathName(kTempCopy));
  EXPECT_FALSE(DirExists(user_group));
  ExpectOnlyLeftovers(fresh, [](const std::string& path) { return path == "C:\\WINDOWS\\WININIT.BAK"; });
  EXPECT_TRUE(FileExists("C:\\WINDOWS\\WININIT.BAK"));
}

TEST_F(UninstallTest, CancelOrNoLeaveTheInstallationWhole) {
  Install("English", "C:\\QR5");
  const Snapshot installed = Take();
  auto only_the_copy = [&installed, this] {
    for (const std::string& path : Changed(installed.files, Take().files)) {
      EXPECT_EQ(path, kTempCopy) << "changed: " << path;
    }
    EXPECT_TRUE(Differ(installed.values, Take().values).empty());
  };
  Uninstall({[] { Main().welcome.Click("CancelButton"); }});
  only_the_copy();
  Uninstall({[] { Main().welcome.Click("NextButton"); }, [] { Main().confirm.Click("NoButton"); }});
  only_the_copy();
  Uninstall({[] { Main().welcome.Click("NextButton"); }, [] { Main().confirm.CloseByFrame(); }});
  only_the_copy();
  // N answers as in a Yes/No message box; the buttons stand right under the
  // one line of the question and its picture, with no empty band.
  Uninstall({[] { Main().welcome.Click("NextButton"); },
             [] {
               forms::Form& confirm = Main().confirm;
               const forms::Control& picture = confirm.Get("Image1");
               EXPECT_EQ(confirm.Get("Label1").height, 13);
               EXPECT_EQ(confirm.Get("YesButton").top, picture.top + picture.height + 15);
               EXPECT_EQ(confirm.client_height, confirm.Get("NoButton").top + 33);
               EXPECT_TRUE(confirm.KeyChar('n'));
             }});
  only_the_copy();
}

TEST_F(UninstallTest, ChangedAndNewFilesStayWithTheirFolders) {
  const Snapshot fresh = Take();
  Install("English", "C:\\QR5");
  WriteFile("C:\\QR5\\LOG\\SAMPLE.DBF", "my own logbook");
  WriteFile("C:\\QR5\\QSL\\CARDS.TXT", "QSL data");
  std::string finish, title;
  Uninstall(ThroughThePages(&finish, &title));
  EXPECT_EQ(finish, "Quorlin 5 has been removed from your computer.");
  EXPECT_EQ(title, "Completing the Quorlin 5 Uninstall Wizard") << "a heading, not the caption";
  EXPECT_EQ(List("C:\\QR5"), (std::vector<std::string>{"LOG", "QSL"}));
  EXPECT_EQ(List("C:\\QR5\\LOG"), std::vector<std::string>{"SAMPLE.DBF"});
  EXPECT_EQ(ReadFile("C:\\QR5\\LOG\\SAMPLE.DBF"), "my own logbook");
  EXPECT_EQ(List("C:\\QR5\\QSL"), std::vector<std::string>{"CARDS.TXT"});
  ExpectOnlyLeftovers(fresh, [](const std::string& path) {
    return path == "C:\\QR5" || StartsWith(path, "C:\\QR5\\LOG") || StartsWith(path, "C:\\QR5\\QSL");
  });
}

TEST_F(UninstallTest, ReadOnlyAndInUseFilesAreLeftAndReported) {
  Install("English", "C:\\QR5");
  SetReadOnly("C:\\QR5\\AWARDS\\IOTA.DBF");
  std::unique_ptr<platform::File> held;
  std::string finish;
  auto steps = ThroughThePages(&finish);
  // Held open by the running copy's process, as a program in use would be.
  steps.push_front([&held] { held = platform::Sys().files->OpenFile("C:\\QR5\\QR5.EXE", platform::OpenMode::kRead); });
  Uninstall(std::move(steps));
  held.reset();
  EXPECT_EQ(finish, "Some files could not be removed. You may delete them yourself.");
  EXPECT_EQ(List("C:\\QR5"), (std::vector<std::string>{"AWARDS", "QR5.EXE"}));
  EXPECT_EQ(List("C:\\QR5\\AWARDS"), std::vector<std::string>{"IOTA.DBF"});
  EXPECT_FALSE(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"));
}

// A damaged or tampered record: only the suite's own unchanged files go,
// never the rest of the folder it names.
TEST_F(UninstallTest, TamperedInstallationPathRemovesOnlyTheSuitesOwnFiles) {
  Install("English", "C:\\QR5");
  const std::string icon = ReadFile("C:\\QR5\\QUORLIN5.ICO");
  for (const std::string tampered : {"C:\\", "C:\\WINDOWS", "C:\\Data"}) {
    SCOPED_TRACE(tampered);
    const std::string dir = tampered.back() == '\\' ? tampered : tampered + "\\";
    files().CreateDirectory(tampered);
    WriteFile(dir + "WIN.INI", "[windows]\r\n");
    WriteFile(dir + "QUORLIN5.ICO", icon);           // a suite file, unchanged
    WriteFile(dir + "LICENSE.ENG", "someone else's");  // a suite name, other bytes
    files().CreateDirectory(dir + "SYSTEM");
    WriteFile(dir + "SYSTEM\\OTHER.DLL", "other");
    Install("English", "C:\\QR5");  // the record and the shortcuts afresh
    SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", tampered);
    const Snapshot before = Take();
    Uninstall(ThroughThePages());
    std::set<std::string> gone;
    for (const std::string& path : Changed(before.files, Take().files)) gone.insert(path);
    EXPECT_TRUE(gone.count(dir + "QUORLIN5.ICO"));
    for (const std::string& path : gone) {
      // The suite's file, the copy, and shortcuts that pointed into the named
      // folder (every one does into C:\).
      const bool link = path.size() > 4 && path.substr(path.size() - 4) == ".lnk";
      EXPECT_TRUE(path == dir + "QUORLIN5.ICO" || path == kTempCopy || link ||
                  (tampered == "C:\\" && StartsWith(path, kGroup)))
          << "removed: " << path;
    }
    EXPECT_TRUE(FileExists("C:\\QR5\\QR5.EXE"));
    EXPECT_EQ(ReadFile(dir + "LICENSE.ENG"), "someone else's");
    EXPECT_TRUE(FileExists(dir + "SYSTEM\\OTHER.DLL"));
    EXPECT_TRUE(DirExists(tampered));
  }
}

// Whether a shortcut points into the install folder is judged as Windows
// compares paths: in the letter case of the code page, where the trail byte
// of a double-byte character is no letter.
TEST_F(UninstallTest, ShortcutTargetsCompareInTheLetterCaseOfTheCodePage) {
  struct Case {
    int code_page;
    const char* dir;
    const char* target;
    bool inside;
  };
  const Case cases[] = {
      {1252, "C:\\QR5", "c:\\qr5\\QR5.EXE", true},
      {1252, "C:\\QR5\\", "C:\\qr5\\DOC\\ENG\\QR5.PDF", true},
      {1252, "C:\\M\xFCller\\QR5", "C:\\M\xDCLLER\\QR5\\QR5.EXE", true},  // u and U with diaeresis
      {1252, "C:\\QR5", "C:\\QR5 Tools\\QR5.EXE", false},
      {1252, "C:\\QR5", "C:\\QR5", false},
      {932, "C:\\\x83\x41\\qr5", "c:\\\x83\x41\\QR5\\QR5.EXE", true},
      {932, "C:\\\x83\x41\\QR5", "C:\\\x83\x61\\QR5\\QR5.EXE", false},  // two characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dir) + " / " + c.target);
    ASSERT_TRUE(sim_->SetCodePage(c.code_page));
    EXPECT_EQ(IsInside(c.dir, c.target), c.inside);
  }
}

// A program INI is the suite's own however the profile writer saved the
// setup's LanguageFile line in it: Windows keeps the other lines as they
// were, Wine (and so the simulated machine) saves the file anew, trimmed
// and without blank lines.
TEST_F(UninstallTest, AProgramIniHasOneNormalFormAsShippedAsWindowsKeepsItAndAsWineSavesIt) {
  Install("English", "C:\\QR5");
  const std::string installed = ReadFile("C:\\QR5\\HERALDO.INI");
  EXPECT_NE(installed.find("LanguageFile=HERALDO_LANGUAGE.ENG\r\n"), std::string::npos);
  EXPECT_EQ(installed.find("\r\n\r\n"), std::string::npos) << "saved without blank lines";
  const std::string texts[] = {
      "; Heraldo\r\n\r\n[Setup]\r\nFirstRun=1\r\n\r\n[Window]\r\nLeft=220\r\n",
      "  ; untidy\r\n\r\n  [Setup]  ; note\r\n\tFirstRun = 1 \r\nLanguageFile = OLD.ITA\r\n\r\n"
      "[Window]\r\nFlag\r\n  Left\t=220",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const std::string shipped = lang::IniNormalForm(text);
    const auto written = [](const std::string& file) {
      return platform::sim::IniEdit(file, "Setup", "LanguageFile", "HERALDO_LANGUAGE.ENG");
    };
    EXPECT_EQ(lang::IniNormalForm(written(text)), shipped) << "as Windows keeps it";
    EXPECT_EQ(lang::IniNormalForm(written(platform::sim::IniRewrite(text))), shipped) << "as Wine saves it";
    EXPECT_EQ(shipped.find("LanguageFile"), std::string::npos);
  }
}

TEST_F(UninstallTest, MissingRecordOrFolderSaysNotInstalledAndRemovesNothing) {
  Install("English", "C:\\QR5");
  SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", "E:\\Gone\\QR5");
  const Snapshot before = Take();
  Run("C:\\QR5\\QR5_UNINSTALLER.EXE", {});
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Quorlin 5 is not installed on this computer.");
  EXPECT_TRUE(sim_->TakeStartedPrograms().empty());
  EXPECT_TRUE(Changed(before.files, Take().files).empty());
  EXPECT_TRUE(Differ(before.values, Take().values).empty());
}


}  // namespace
}  // namespace qr5::uninstall
