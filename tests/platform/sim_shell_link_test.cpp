// Shell links of the simulated machine, read back by Debian's lnkinfo.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "sim_fixture.h"

using namespace qr5::platform;

namespace {

bool HaveLnkinfo() { return std::system("command -v lnkinfo >/dev/null 2>&1") == 0; }

std::string RunCommand(const std::string& command) {
  std::string output;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return output;
  std::array<char, 4096> buffer;
  while (size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) output.append(buffer.data(), got);
  return output;
}

class SimShellLinks : public simtest::SimMachineTest {
 protected:
  std::string Make(const std::string& target, const std::string& folder, const std::string& link) {
    auto shell_link = sim_->machine().com->CreateShellLink();
    if (!shell_link) return "";
    shell_link->SetPath(target);
    shell_link->SetWorkingDirectory(folder);
    if (!shell_link->Save(link)) return "";
    return sim_->HostPath(link);
  }
};

TEST_F(SimShellLinks, NeedInitialisedCom) {
  EXPECT_EQ(sim_->machine().com->CreateShellLink(), nullptr);
  ASSERT_TRUE(sim_->machine().com->Initialize());
  EXPECT_NE(sim_->machine().com->CreateShellLink(), nullptr);
  sim_->machine().com->Uninitialize();
  EXPECT_EQ(sim_->machine().com->CreateShellLink(), nullptr);
}

TEST_F(SimShellLinks, AreReadByLnkinfo) {
  if (!HaveLnkinfo()) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
  ASSERT_TRUE(sim_->machine().com->Initialize());
  ASSERT_TRUE(files().CreateDirectory("C:\\QR5"));
  ASSERT_TRUE(Write("C:\\QR5\\QR5.EXE", std::string(1234, 'x')));
  const std::string programs = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
  ASSERT_TRUE(files().CreateDirectory(programs + "\\Quorlin 5"));
  const std::string host = Make("C:\\QR5\\QR5.EXE", "C:\\QR5\\", programs + "\\Quorlin 5\\Quorlin 5.lnk");
  ASSERT_FALSE(host.empty());
  const std::string info = RunCommand("lnkinfo '" + host + "' 2>&1");
  EXPECT_NE(info.find("Local path\t\t\t: C:\\QR5\\QR5.EXE"), std::string::npos) << info;
  EXPECT_NE(info.find("Working directory\t\t: C:\\QR5\\"), std::string::npos) << info;
  EXPECT_NE(info.find("File size\t\t\t: 1234 bytes"), std::string::npos) << info;
  EXPECT_NE(info.find("Drive type\t\t\t: Fixed"), std::string::npos) << info;
}

TEST_F(SimShellLinks, KeepAccentedTargetsInBothForms) {
  if (!HaveLnkinfo()) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
  ASSERT_TRUE(sim_->machine().com->Initialize());
  const std::string host = Make("C:\\Caf\xE9\\MANUAL.PDF", "C:\\Caf\xE9\\", "C:\\Manuel.lnk");
  ASSERT_FALSE(host.empty());
  const std::string info = RunCommand("lnkinfo '" + host + "' 2>&1");
  EXPECT_NE(info.find("C:\\Caf\xC3\xA9\\MANUAL.PDF"), std::string::npos) << info;
  EXPECT_NE(info.find("Working directory\t\t: C:\\Caf\xC3\xA9\\"), std::string::npos) << info;
}

}  // namespace

#endif  // _WIN32
