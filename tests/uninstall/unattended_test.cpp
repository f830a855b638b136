// Unattended runs of both programs on the simulated machine: a very silent
// installation equals the one made through the pages but for the two
// shortcuts, another one over it in Italian, the quiet uninstall command of
// the uninstall entry, and every exit code a script can get.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pages/form_step5.h"
#include "platform/command_line_words.h"
#include "uninstall/uninstall_fixture.h"

namespace qr5::uninstall {
namespace {

using namespace qr5::uninstall::testing;
using platform::HKEY_CURRENT_USER;

constexpr char kDir[] = "D:\\Tools\\QR";
constexpr char kLog[] = "D:\\setup.log";
constexpr char kEntry[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5";
const std::string kStartupLink = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\Heraldo.lnk";

class UnattendedTest : public UninstallTest {
 protected:
  // The setup as a new process with these switches.
  int Setup(const std::string& switches, forms::FrontEnd* front_end = nullptr) {
    Reopen();
    sim_->SetArguments(switches);
    return app::RunProgram(front_end != nullptr ? *front_end : fe_);
  }
  int Uninstaller(const std::string& exe, const std::string& switches,
                  std::deque<std::function<void()>> steps = {}) {
    Reopen();
    sim_->SetModuleFileName(exe);
    sim_->SetArguments(switches);
    fe_.steps = std::move(steps);
    return uninstall::RunUninstaller(fe_);
  }
  // A command as Windows runs it: the installed program hands over to its
  // copy with the same switches; the copy's exit code is the process's.
  int RunCommand(const std::string& command, std::deque<std::function<void()>> steps = {}) {
    EXPECT_TRUE(sim_->machine().processes->StartProcess(command)) << command;
    const auto launched = sim_->TakeStartedPrograms();
    if (launched.size() != 1u) return -1;
    const int first = Uninstaller(launched[0].exe, launched[0].arguments);
    const auto copies = sim_->TakeStartedPrograms();
    if (copies.empty()) return first;
    // The copy is told the installation's folder, then the same switches.
    const std::string folder = launched[0].exe.substr(0, launched[0].exe.rfind('\\'));
    const std::string& switches = launched[0].arguments;
    EXPECT_EQ(copies[0].arguments, platform::QuoteWord(folder) + (switches.empty() ? "" : " " + switches));
    return Uninstaller(copies[0].exe, copies[0].arguments, std::move(steps));
  }
  void SaveMachine() { CopyTree(root_, root_ + "-saved"); }
  void RestoreMachine() {
    CopyTree(root_ + "-saved", root_);
    std::filesystem::remove_all(root_ + "-saved");
    Reopen();
  }
  static void CopyTree(const std::string& from, const std::string& to) {
    std::filesystem::remove_all(to);
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
  }
  // A snapshot whose shortcuts count by their targets: a link also records
  // the times of its target, which differ from run to run.
  Snapshot TakeByTargets() {
    Snapshot shot = Take();
    EXPECT_TRUE(platform::Sys().com->Initialize());
    for (auto& [path, content] : shot.files) {
      if (path.size() < 4 || path.substr(path.size() - 4) != ".lnk") continue;
      std::unique_ptr<platform::ShellLink> link = platform::Sys().com->CreateShellLink();
      content = link && link->Load(path) ? "link to " + link->GetPath() : "unreadable link";
    }
    platform::Sys().com->Uninitialize();
    return shot;
  }
  bool NothingInstalled() { return !DirExists(kDir) && !RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"); }
};

TEST_F(UnattendedTest, VerySilentEqualsThePagesButTheShortcutsThenItalianOverItThenTheQuietUninstall) {
  const Snapshot fresh = Take();
  SaveMachine();
  Install("English", kDir);
  const Snapshot pages = TakeByTargets();
  RestoreMachine();

  ASSERT_EQ(Setup(std::string("/VERYSILENT /NOICONS /LANG=ENG /DIR=") + kDir + " /LOG=" + kLog), 0);
  EXPECT_TRUE(fe_.shown.empty()) << fe_.shown.front();
  EXPECT_TRUE(fe_.boxes.empty());
  const Snapshot quiet = TakeByTargets();
  EXPECT_EQ(Changed(pages.files, quiet.files), (std::set<std::string>{kDesktopLink, kStartupLink, kLog}));
  EXPECT_EQ(Differ(pages.values, quiet.values), std::set<std::string>{});
  EXPECT_EQ(RegText(kEntry, "QuietUninstallString"), std::string(kDir) + "\\QR5_UNINSTALLER.EXE /VERYSILENT");
  const std::string log = ReadFile(kLog);
  for (const char* line : {"  Setup started: ", "  Language: English (.ENG)", "  Install folder: D:\\Tools\\QR",
                           "  Installing the database engine", "  Exit code 0"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << " in\n" << log;
  }
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(log[0])) && log.substr(4, 1) == "-" && log.substr(13, 1) == ":");

  // Silent, by an English name, over it: only the progress page, and both
  // shortcuts in Italian.
  ASSERT_EQ(Setup("/SILENT /SUPPRESSMSGBOXES -lang=italian"), 0);
  EXPECT_EQ(fe_.shown, std::vector<std::string>{"TFormStep5"});
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), std::string("Italiano"));
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"), std::string(kDir));
  EXPECT_NE(ReadFile(std::string(kDir) + "\\SYSTEM\\QR5.INI").find("LANGUAGE.ITA"), std::string::npos);
  EXPECT_EQ(List("C:\\Documents and Settings\\All Users\\Desktop").size(), 1u);

  const std::optional<std::string> quiet_command = RegText(kEntry, "QuietUninstallString");
  ASSERT_TRUE(quiet_command);
  EXPECT_EQ(RunCommand(*quiet_command), 0);
  EXPECT_TRUE(fe_.shown.empty());
  EXPECT_TRUE(fe_.boxes.empty());
  // The log, and the folder the setup made above the one it was given.
  ExpectOnlyLeftovers(fresh, [](const std::string& path) { return path == kLog || path == "D:\\Tools"; });
  // Nothing left to remove: could not start.
  EXPECT_EQ(Uninstaller(std::string(kDir) + "\\QR5_UNINSTALLER.EXE", "/VERYSILENT /SUPPRESSMSGBOXES"), 1);
}

TEST_F(UnattendedTest, EveryExitCodeOfTheSetup) {
  // 1: a switch not taken, named in its box; a second copy, silently.
  EXPECT_EQ(Setup("/VERYSILENT /S"), 1);
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Unknown command line switch: /S");
  EXPECT_EQ(Setup("/?"), 0);
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_NE(fe_.boxes[0].text.find("/SUPPRESSMSGBOXES"), std::string::npos);
  {
    std::unique_ptr<platform::sim::SimMachine> other = platform::sim::SimMachine::Open(root_);
    ASSERT_TRUE(other->machine().processes->CreateMutex("QR5_Installer.exe"));
    EXPECT_EQ(Setup("/VERYSILENT"), 1);
    EXPECT_TRUE(fe_.boxes.empty());
  }
  // 2: cancelled on the language page.
  Reopen();
  fe_.steps.push_back([] { pages::FormStep1->Click("CancelButton"); });
  EXPECT_EQ(app::RunProgram(fe_), 2);
  // 3: a folder through a file, on a missing drive, not a path; a language
  // this setup does not carry. Told, logged, nothing installed.
  WriteFile("D:\\file.txt", "x");
  for (const std::string dir : {"D:\\file.txt\\QR", "Q:\\QR", "QR", "D:\\a|b"}) {
    EXPECT_EQ(Setup("/VERYSILENT /DIR=\"" + dir + "\""), 3) << dir;
    ASSERT_EQ(fe_.boxes.size(), 1u);
    EXPECT_EQ(fe_.boxes[0].text, "The selected path is not valid. " + dir);
  }
  EXPECT_EQ(Setup("/SILENT /SUPPRESSMSGBOXES /LANG=XYZ /LOG=D:\\bad.log"), 3);
  EXPECT_TRUE(fe_.boxes.empty());
  EXPECT_NE(ReadFile("D:\\bad.log").find("Unknown language for /LANG: XYZ"), std::string::npos);
  EXPECT_TRUE(NothingInstalled());
  // 4: the installation ran but could not write the user's record; the log
  // names what failed.
  sim_->DenyRegistryKey(HKEY_CURRENT_USER, "Quorlin5");
  EXPECT_EQ(Setup("/VERYSILENT /SUPPRESSMSGBOXES /LOG"), 4);
  EXPECT_TRUE(fe_.boxes.empty());
  const std::vector<std::string> temp = List("C:\\WINDOWS\\TEMP");
  ASSERT_EQ(temp.size(), 1u);
  EXPECT_EQ(temp[0].rfind("Setup Log ", 0), 0u);
  EXPECT_NE(temp[0].find(" #001.txt"), std::string::npos);
  const std::string log = ReadFile("C:\\WINDOWS\\TEMP\\" + temp[0]);
  EXPECT_NE(log.find("HKEY_CURRENT_USER\\Quorlin5"), std::string::npos) << log;
  EXPECT_NE(log.find("Exit code 4"), std::string::npos);
  // 5: a request to end reaches the installation while it runs.
  struct Ending : qr5::testing::ScriptedFrontEnd {
    void ProcessMessages() override {
      if (pages::FormStep5 != nullptr && pages::FormStep5->Visible()) forms::App().Terminate();
    }
  } ending;
  EXPECT_EQ(Setup("/SILENT", &ending), 5);
}

TEST_F(UnattendedTest, TheUninstallersCodesAndALogThatCannotBeWritten) {
  Install("English", kDir);
  const std::string installed = std::string(kDir) + "\\QR5_UNINSTALLER.EXE";
  EXPECT_EQ(Uninstaller(installed, "/DIR=C:\\"), 1);
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Unknown command line switch: /DIR=C:\\");
  // Cancelled on its welcome page: 2, and everything stays.
  EXPECT_EQ(RunCommand("\"" + installed + "\"", {[] { Main().welcome.Click("CancelButton"); }}), 2);
  EXPECT_TRUE(FileExists(installed));
  // A file in use stays: 4. The log's folder is missing: said once, the
  // removal goes on.
  SetReadOnly(std::string(kDir) + "\\AWARDS\\IOTA.DBF");
  EXPECT_EQ(RunCommand("\"" + installed + "\" /SILENT /LOG=Q:\\none\\u.log"), 4);
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "The log file Q:\\none\\u.log cannot be written; the run goes on without it.");
  EXPECT_EQ(fe_.shown, std::vector<std::string>{"TFormUninstallProgress"});
  // Something of ours is left, so the records stay for another run.
  EXPECT_TRUE(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"));
  EXPECT_TRUE(RegText(kEntry, "QuietUninstallString"));
}

}  // namespace
}  // namespace qr5::uninstall
