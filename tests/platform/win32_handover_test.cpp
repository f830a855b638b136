// A program that hands its work to another and waits for it (the
// uninstaller and its copy in the temporary folder), on the real API: the
// first process returns the other's exit code, or the code the other ended
// it with so that the first one's file could go.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "contract_helpers.h"

#include <windows.h>
// The interface's methods, not the generic macros of <windows.h>.
#undef GetModuleFileName

#include <cstdlib>
#include <string>

namespace {

qr5::platform::Processes& Procs() { return *ContractMachine().processes; }

// Runs only as a child: "first:<code>:<release>" starts this program again
// as the second and exits with what StartProcessAndWait gave;
// "second:<code>:<release>" ends with code, or ends the first with it (once
// only) and then exits with another code.
TEST(HandOverChild, Act) {
  const std::string argument = ContractChildArgument();
  if (argument.empty()) GTEST_SKIP() << "the helper process of the hand-over tests";
  const std::string rest = argument.substr(argument.find(':') + 1);
  const int code = std::atoi(rest.c_str());
  const bool release = rest.substr(rest.find(':') + 1) == "1";
  if (argument.rfind("first:", 0) == 0) {
    const std::string self = contract::Files().GetModuleFileName();
    ::SetEnvironmentVariableA("QR5_CONTRACT_CHILD", ("second:" + rest).c_str());
    int got = -1;
    if (!Procs().StartProcessAndWait("\"" + self + "\" --gtest_filter=HandOverChild.Act", &got)) std::exit(98);
    std::exit(got);
  }
  if (release) std::exit(Procs().ReleaseWaitingParent(code) && !Procs().ReleaseWaitingParent(1) ? 40 : 97);
  std::exit(code);
}

TEST(HandOver, TheFirstProcessReturnsTheOthersCodeOrTheOneItWasEndedWith) {
  EXPECT_EQ(ContractRunChild("HandOverChild.Act", "first:5:0"), 5);
  EXPECT_EQ(ContractRunChild("HandOverChild.Act", "first:4:1"), 4);
  // Nothing waits for this process.
  EXPECT_FALSE(Procs().ReleaseWaitingParent(3));
}

}  // namespace

#endif  // _WIN32
