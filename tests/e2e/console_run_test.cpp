// The demo setup run through every page by a file of console actions, over a
// fresh simulated machine; the machine is examined afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Lines equal to line (a form printed when it is shown, not its updates).
int CountLines(const std::string& text, const std::string& line) {
  std::istringstream in(text);
  int n = 0;
  for (std::string l; std::getline(in, l);) n += l == line;
  return n;
}

class ConsoleRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("qr5-e2e-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    qr5::platform::sim::SimMachine::CreateFresh(root_.string());
    const fs::path d = root_ / "drives" / "D";
    fs::copy_file(QR5_DEMO_SETUP, d / "QR5_Installer", fs::copy_options::overwrite_existing);
    fs::permissions(d / "QR5_Installer", fs::perms::owner_all, fs::perm_options::add);
    fs::copy_file(QR5_DEMO_KAVO5, d / "KAVO5.DLL", fs::copy_options::overwrite_existing);
  }
  void TearDown() override {
    if (HasFailure()) {
      // What the console printed, for the reader of a failed run.
      const fs::path log = root_.string() + ".log";
      std::ofstream(log) << output_;
      std::cerr << "console output kept in " << log << "\n";
    }
    fs::remove_all(root_);
  }

  // Runs the setup from drive D with the action file as its input and
  // these switches (each word in single quotes for the shell); returns its
  // exit code and leaves what it printed in output_.
  int Run(const std::string& actions, const std::string& switches = "",
          const std::string& program = "./QR5_Installer") {
    const fs::path out = root_ / "console.txt";
    const std::string command = "cd '" + (root_ / "drives" / "D").string() + "' && env -u QR5_MACHINE " +
                                program + " " + switches + " < '" + actions + "' > '" + out.string() +
                                "' 2>&1";
    const int status = std::system(command.c_str());
    output_ = ReadAll(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  bool Exists(const fs::path& host) { return fs::exists(host); }

  fs::path root_;
  std::string output_;
};

TEST_F(ConsoleRunTest, AnEnglishInstallationIntoDAppsWithBackAndBrowse) {
  fs::create_directories(root_ / "drives" / "D" / "Apps");
  ASSERT_EQ(Run(std::string(QR5_E2E_DIR) + "/english_install_d_apps.txt"), 0) << output_;

  // Every action was taken.
  EXPECT_EQ(Count(output_, "error:"), 0);
  // Each page and dialog, as often as the actions lead to it.
  EXPECT_EQ(CountLines(output_, "=== TFormStep1: Language selection ==="), 1);
  EXPECT_EQ(CountLines(output_, "=== TFormStep2: Setup - Quorlin 5 ==="), 2);
  EXPECT_EQ(CountLines(output_, "=== TFormStep3: Setup - Quorlin 5 ==="), 3);
  EXPECT_EQ(CountLines(output_, "=== TFormStep4: Setup - Quorlin 5 ==="), 2);
  EXPECT_EQ(CountLines(output_, "=== TFormStep5: Setup - Quorlin 5 ==="), 1);
  EXPECT_EQ(CountLines(output_, "=== TFormStep6: Setup - Quorlin 5 ==="), 1);
  EXPECT_EQ(CountLines(output_, "=== TFormExitSetup: Exit Setup ==="), 1);
  EXPECT_EQ(CountLines(output_, "=== TDlgBrowseInstallPath: Browse For Folder ==="), 2);
  EXPECT_EQ(CountLines(output_, "=== TDlgError: Error ==="), 1);
  EXPECT_NE(output_.find("The selected path is not valid."), std::string::npos);
  EXPECT_NE(output_.find("QUORLIN 5 - END USER LICENSE AGREEMENT"), std::string::npos);
  EXPECT_NE(output_.find("LabelSelectedFolder (edit, read-only) \"D:\\Apps\\QR5\""), std::string::npos);
  EXPECT_NE(output_.find("SCProgress1 (progress) 100%"), std::string::npos);

  // The suite is in D:\Apps\QR5 and recorded there.
  const fs::path install = root_ / "drives" / "D" / "Apps" / "QR5";
  EXPECT_TRUE(Exists(install / "QR5.EXE"));
  EXPECT_TRUE(Exists(install / "HERALDO.EXE"));
  const std::string registry = ReadAll(root_ / "registry.reg");
  EXPECT_NE(registry.find("\"Installation Path\"=\"D:\\\\Apps\\\\QR5\""), std::string::npos);

  // Finish made both shortcuts; the group is there.
  const fs::path all_users = root_ / "drives" / "C" / "Documents and Settings" / "All Users";
  EXPECT_TRUE(Exists(all_users / "Desktop" / "Quorlin 5.lnk"));
  EXPECT_TRUE(Exists(all_users / "Start Menu" / "Programs" / "Startup" / "Heraldo.lnk"));
  EXPECT_TRUE(Exists(all_users / "Start Menu" / "Programs" / "Quorlin 5" / "Quorlin 5.lnk"));

  // Nothing was made where the first, discarded choice pointed, and the
  // extracted language and license files are gone.
  EXPECT_FALSE(Exists(root_ / "drives" / "C" / "QR5"));
  for (const auto& entry : fs::directory_iterator(root_ / "drives" / "C" / "WINDOWS" / "TEMP")) {
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(std::regex_match(name, std::regex("(LANGUAGE|LICENSE)\\..*", std::regex::icase)))
        << name;
  }
}

TEST_F(ConsoleRunTest, AnEnglishInstallationWithKeysAlone) {
  ASSERT_EQ(Run(std::string(QR5_E2E_DIR) + "/english_install_keys_only.txt"), 0) << output_;
  EXPECT_EQ(Count(output_, "error:"), 0);
  EXPECT_EQ(CountLines(output_, "=== TFormExitSetup: Exit Setup ==="), 1);
  EXPECT_EQ(CountLines(output_, "=== TFormStep3: Setup - Quorlin 5 ==="), 1);
  EXPECT_NE(output_.find("  NextButton (button) \"Next >\" [Alt+N] default (disabled)"), std::string::npos)
      << "the arrow selected the refusal";
  const fs::path install = root_ / "drives" / "C" / "Keys" / "QR5";
  EXPECT_TRUE(Exists(install / "QR5.EXE"));
  EXPECT_NE(ReadAll(root_ / "registry.reg").find("\"Installation Path\"=\"C:\\\\Keys\\\\QR5\""),
            std::string::npos);
  const fs::path all_users = root_ / "drives" / "C" / "Documents and Settings" / "All Users";
  EXPECT_TRUE(Exists(all_users / "Desktop" / "Quorlin 5.lnk"));
  EXPECT_FALSE(Exists(all_users / "Start Menu" / "Programs" / "Startup" / "Heraldo.lnk"))
      << "Space cleared the Startup box";
}

TEST_F(ConsoleRunTest, AnInstallationThatCannotBeCompletedIsToldOnceAndEndsWithoutTheFinishPage) {
  // The folder of an earlier installation: so long that some suite files
  // pass the system's path limit.
  const std::string folder = "C:\\" + std::string(236, 'L');
  std::ofstream(root_ / "registry.reg", std::ios::app)
      << "\r\n[HKEY_CURRENT_USER\\Quorlin5]\r\n\"Installation Path\"=\"C:\\\\" << folder.substr(3) << "\"\r\n";
  std::ofstream(root_ / "actions.txt") << "click OKButton\nclick NextButton\nclick RBAccept\nclick NextButton\n"
                                          "click NextButton\nclick FinishButton\n";
  ASSERT_EQ(Run((root_ / "actions.txt").string()), 4) << output_;  // ran, not completed

  EXPECT_EQ(Count(output_, "Setup could not install Quorlin 5 completely."), 1) << output_;
  EXPECT_EQ(Count(output_, " files were not installed, the first one: " + folder + "\\"), 1);
  EXPECT_EQ(CountLines(output_, "=== TFormStep6: Setup - Quorlin 5 ==="), 0);
  const fs::path all_users = root_ / "drives" / "C" / "Documents and Settings" / "All Users";
  EXPECT_FALSE(Exists(all_users / "Desktop" / "Quorlin 5.lnk"));
  EXPECT_TRUE(Exists(root_ / "drives" / "C" / folder.substr(3) / "QR5.EXE")) << "what fits is installed";
  EXPECT_NE(ReadAll(root_ / "registry.reg").find("\"UninstallString\""), std::string::npos);
  // The run's own temporary folder went with everything in it.
  EXPECT_TRUE(fs::is_empty(root_ / "drives" / "C" / "WINDOWS" / "TEMP"));
}

// The command lines a script gives, through the real processes: nothing is
// printed but a box, the exit codes tell how it went, and the uninstaller's
// copy gets the switches and ends the run with its code.
TEST_F(ConsoleRunTest, UnattendedRunsPrintNoFormAndTellByTheirExitCodes) {
  ASSERT_EQ(Run("/dev/null", "/VERYSILENT '/DIR=D:\\Ham Radio\\QR' /LANG=ITA"), 0) << output_;
  EXPECT_EQ(output_, "");
  const fs::path install = root_ / "drives" / "D" / "Ham Radio" / "QR";
  EXPECT_TRUE(Exists(install / "QR5.EXE"));
  EXPECT_NE(ReadAll(root_ / "registry.reg").find("\"Language\"=\"Italiano\""), std::string::npos);

  EXPECT_EQ(Run("/dev/null", "/SILENT /S"), 1);
  EXPECT_NE(output_.find("Unknown command line switch: /S"), std::string::npos) << output_;
  EXPECT_EQ(Count(output_, "=== "), 0) << output_;
  EXPECT_EQ(Run("/dev/null", "/SILENT '/LANG=\"ENG'"), 1);
  EXPECT_NE(output_.find("quotation mark is left open"), std::string::npos) << output_;

  // The quiet uninstall command, run as the entry gives it.
  const std::string registry = ReadAll(root_ / "registry.reg");
  EXPECT_NE(registry.find("\"QuietUninstallString\"=\"\\\"D:\\\\Ham Radio\\\\QR\\\\QR5_UNINSTALLER.EXE\\\" /VERYSILENT\""),
            std::string::npos);
  // Files on the machine's drives carry no host execute bit of their own.
  fs::permissions(install / "QR5_UNINSTALLER.EXE", fs::perms::owner_exec, fs::perm_options::add);
  EXPECT_EQ(Run("/dev/null", "/VERYSILENT", "'./Ham Radio/QR/QR5_UNINSTALLER.EXE'"), 0) << output_;
  EXPECT_EQ(output_, "");
  EXPECT_FALSE(Exists(install));
  EXPECT_EQ(ReadAll(root_ / "registry.reg").find("Quorlin5"), std::string::npos);
  // Once more, from its copy: nothing is installed, so it could not start.
  EXPECT_EQ(Run("/dev/null", "/VERYSILENT /SUPPRESSMSGBOXES", "../C/WINDOWS/TEMP/QR5_UNINSTALLER.EXE"), 1) << output_;
  EXPECT_EQ(output_, "");
}

}  // namespace
