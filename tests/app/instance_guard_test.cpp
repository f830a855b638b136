// The single-instance guard between real processes of the setup program on
// one simulated machine.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/instance_guard.h"
#include "setup_exe.h"
#include "sim_fixture.h"

namespace qr5::app {
namespace {

// A running setup process with its standard input and output on pipes.
class SetupProcess {
 public:
  SetupProcess(const std::string& exe, const std::string& machine_root, bool keep_input_open) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::close(in[0]), ::close(in[1]), ::close(out[0]), ::close(out[1]);
      ::setenv("QR5_MACHINE", machine_root.c_str(), 1);
      ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
    if (!keep_input_open) CloseInput();
  }
  ~SetupProcess() {
    CloseInput();
    if (output_ >= 0) ::close(output_);
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool Started() const { return pid_ > 0; }
  void CloseInput() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
  }
  // Reads the output until text appears or the output ends.
  bool WaitFor(const std::string& text) {
    char buffer[4096];
    while (output_seen_.find(text) == std::string::npos) {
      const ssize_t n = ::read(output_, buffer, sizeof buffer);
      if (n <= 0) return false;
      output_seen_.append(buffer, static_cast<size_t>(n));
    }
    return true;
  }
  // Reads the rest of the output and waits for the end; the exit code, or
  // -1 when the process did not exit normally.
  int Finish() {
    WaitFor(std::string(1, '\0'));  // never printed: reads to the end
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reaped_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool Running() {
    int status = 0;
    return !reaped_ && ::waitpid(pid_, &status, WNOHANG) == 0;
  }
  const std::string& Output() const { return output_seen_; }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  bool reaped_ = false;
  std::string output_seen_;
};

class InstanceGuardTest : public testing::SimMachineTest {
 protected:
  void SetUp() override {
    SimMachineTest::SetUp();
    ASSERT_TRUE(std::filesystem::exists(stub_))
        << stub_ << " is missing: build the target QR5_Installer_stub first";
  }
  // The setup program with its language payload at a Windows path.
  std::string PlaceSetup(const std::string& windows_path) {
    const std::string host = Host(windows_path);
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    testing::MakeSetupExe(stub_, host, testing::LanguagePayload());
    return host;
  }
  const std::string stub_ = QR5_BINARY_DIR "/bin/QR5_Installer_stub";
};

TEST_F(InstanceGuardTest, ASecondCopyUnderTheSameNameEndsAtOnceAndTheFirstGoesOn) {
  const std::string setup = PlaceSetup("D:\\QR5_Installer");
  SetupProcess first(setup, root_, /*keep_input_open=*/true);
  ASSERT_TRUE(first.Started());
  ASSERT_TRUE(first.WaitFor("=== TFormStep1")) << first.Output();

  SetupProcess second(setup, root_, false);
  EXPECT_EQ(second.Finish(), 1);  // could not start
  EXPECT_EQ(second.Output(), "");  // no window, no message
  EXPECT_TRUE(first.Running());

  // The file name in another letter case, from another folder, is another
  // mutex: that copy runs (and ends at the end of its empty input).
  SetupProcess other_case(PlaceSetup("D:\\Other\\qr5_installer"), root_, false);
  EXPECT_EQ(other_case.Finish(), 2);  // cancelled: its input ended
  EXPECT_NE(other_case.Output().find("=== TFormStep1"), std::string::npos);
  EXPECT_TRUE(first.Running());

  first.CloseInput();  // the end of its input ends the first copy cleanly
  EXPECT_EQ(first.Finish(), 2);  // cancelled: its input ended
  EXPECT_FALSE(Exists("C:\\WINDOWS\\TEMP\\LANGUAGE.ENG"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\TEMP\\LICENSE.ITA"));

  // The mutex went with the first copy.
  SetupProcess again(setup, root_, false);
  EXPECT_EQ(again.Finish(), 2);  // its input ended on the language page
  EXPECT_NE(again.Output().find("=== TFormStep1"), std::string::npos);
}

TEST(InstanceGuard, TheNameIsWhatFollowsTheLastBackslashOrColon) {
  EXPECT_EQ(ExecutableFileName("C:\\Setups\\QR5_Installer.exe"), "QR5_Installer.exe");
  EXPECT_EQ(ExecutableFileName("D:QR5.EXE"), "QR5.EXE");
  EXPECT_EQ(ExecutableFileName("QR5.EXE"), "QR5.EXE");
  EXPECT_EQ(ExecutableFileName("\\\\server\\share\\Setup Q.exe"), "Setup Q.exe");
}

}  // namespace
}  // namespace qr5::app
