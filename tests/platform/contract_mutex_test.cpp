// The named mutex of the single-instance guard, seen from two processes.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <random>

#include "contract_helpers.h"

namespace {

qr5::platform::Processes& Procs() { return *ContractMachine().processes; }

std::string UniqueName(const std::string& stem) {
  std::random_device random;
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return stem + "-" + std::to_string(now) + "-" + std::to_string(random());
}

constexpr int kSeen = 10;
constexpr int kNotSeen = 11;

// Runs only as the child process of the tests below: "open:<name>" answers
// whether the mutex exists; "create:<name>" makes it and ends.
TEST(MutexChild, Act) {
  const std::string argument = ContractChildArgument();
  if (argument.empty()) GTEST_SKIP() << "the helper process of the mutex tests";
  const size_t colon = argument.find(':');
  const std::string verb = argument.substr(0, colon);
  const std::string name = argument.substr(colon + 1);
  if (verb == "open") std::exit(Procs().OpenMutex(name) ? kSeen : kNotSeen);
  if (verb == "create") std::exit(Procs().CreateMutex(name) ? 0 : 1);
  std::exit(2);
}

TEST(Mutex, IsSeenByAnotherProcessUnderTheExactName) {
  const std::string name = UniqueName("QR5_Installer.exe");
  EXPECT_FALSE(Procs().OpenMutex(name));
  EXPECT_EQ(ContractRunChild("MutexChild.Act", "open:" + name), kNotSeen);
  ASSERT_TRUE(Procs().CreateMutex(name));
  EXPECT_TRUE(Procs().OpenMutex(name));
  EXPECT_EQ(ContractRunChild("MutexChild.Act", "open:" + name), kSeen);
  // Names are compared case-sensitively.
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(ContractRunChild("MutexChild.Act", "open:" + lower), kNotSeen);
}

TEST(Mutex, VanishesWithTheProcessThatMadeIt) {
  const std::string name = UniqueName("Setup.exe");
  ASSERT_EQ(ContractRunChild("MutexChild.Act", "create:" + name), 0);
  EXPECT_FALSE(Procs().OpenMutex(name));
}

}  // namespace
