// Every mutating operation of an uninstallation after an English
// installation, failed in turn with each error: the finish page says
// "removed" only when nothing of the suite is left but the documented
// leftovers; otherwise it says that some files could not be removed, and
// the record, the uninstall entry and the uninstaller stay, so that a second
// run without faults removes the rest.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_fault_plan.h"
#include "uninstall/uninstall_fixture.h"

namespace qr5::uninstall {
namespace {

using namespace testing;

constexpr char kRemoved[] = "Quorlin 5 has been removed from your computer.";
constexpr char kSomethingLeft[] = "Some files could not be removed. You may delete them yourself.";
constexpr char kInstalledUninstaller[] = "C:\\QR5\\QR5_UNINSTALLER.EXE";

class UninstallFaultLoop : public UninstallTest {
 protected:
  void SetUp() override {
    UninstallTest::SetUp();
    fresh_ = Take();
    Install("English", "C:\\QR5");
    // Not needed any more, and too large to copy and compare for every run:
    // the setup, and the uninstaller's bytes (it runs in this process; only
    // the installed file and its copy have to be the same).
    fs::remove(Host(install::testing::kSetupExe));
    fresh_.files.erase(install::testing::kSetupExe);
    WriteHostFile(Host(kInstalledUninstaller), "the installed uninstaller");
    golden_ = root_ + ".installed";
    sim_.reset();
    platform::Install(nullptr);
    fs::copy(root_, golden_, fs::copy_options::recursive);
  }
  void TearDown() override {
    UninstallTest::TearDown();
    fs::remove_all(golden_);
  }

  // The machine as the installation left it. Linked, not copied: the
  // machine replaces a file it writes (registry, attributes) by a new one,
  // and the uninstaller only deletes and makes new files.
  void Restore() {
    platform::Install(nullptr);
    sim_.reset();
    fs::remove_all(root_);
    fs::copy(golden_, root_, fs::copy_options::recursive | fs::copy_options::create_hard_links);
  }

  // One uninstallation as Add/Remove Programs starts it, operation k
  // (counted over both processes: the installed program and its copy)
  // failing with error, 0 none. The finish page's text, "" when none.
  std::string Uninstallation(int64_t k, uint32_t error, int64_t* operations, std::string* failed) {
    std::string finish;
    std::deque<std::function<void()>> steps = ThroughThePages(&finish);
    std::string exe = kInstalledUninstaller, arguments;
    *operations = 0;
    failed->clear();
    while (!exe.empty()) {
      Reopen();
      sim_->SetModuleFileName(exe);
      sim_->SetArguments(arguments);
      platform::sim::FaultPlan plan(sim_->machine());
      plan.FailAt(k > *operations ? k - *operations : 0, error);
      platform::Install(&plan.machine());
      fe_.steps = std::move(steps);
      RunUninstaller(fe_);
      steps = std::move(fe_.steps);
      *operations += plan.operations();
      if (plan.failed()) *failed = plan.failed_operation();
      platform::Install(&sim_->machine());
      const auto started = sim_->TakeStartedPrograms();
      exe = started.empty() ? "" : started[0].exe;
      arguments = started.empty() ? "" : started[0].arguments;
    }
    EXPECT_TRUE(steps.empty()) << "pages shown other than expected";
    return finish;
  }

  // After a start of Windows the machine is as before the installation,
  // but for the engine's files and settings, and the uninstaller's copy in
  // the temporary folder when its deletion could not be scheduled.
  void ExpectNothingOfTheSuite(bool copy_may_stay) {
    Reopen();
    sim_->Reboot();
    const Snapshot after = Take();
    for (const std::string& path : Changed(fresh_.files, after.files)) {
      EXPECT_TRUE(StartsWith(path, kEngineFolder) || (copy_may_stay && path == kTempCopy)) << "left: " << path;
    }
    for (const std::string& value : Differ(fresh_.values, after.values)) {
      EXPECT_TRUE(StartsWith(value, kEngineKey)) << "registry: " << value;
    }
  }

  Snapshot fresh_;
  std::string golden_;
};

#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
constexpr bool kSlowBuild = false;
#else
constexpr bool kSlowBuild = true;
#endif

TEST_F(UninstallFaultLoop, EveryFailedOperationIsToldAndTheUninstallerCanRunAgain) {
  int64_t operations = 0;
  std::string failed;
  Restore();
  ASSERT_EQ(Uninstallation(0, 0, &operations, &failed), kRemoved);
  ExpectNothingOfTheSuite(false);
  ASSERT_GT(operations, 100);
  int runs = 0, told = 0;
  for (const uint32_t error :
       {platform::ERROR_ACCESS_DENIED, platform::ERROR_DISK_FULL, platform::ERROR_SHARING_VIOLATION}) {
    // Unoptimised and sanitizer builds run each uninstallation several times
    // slower: there every fifth operation fails, each error at others.
    for (int64_t k = 1 + (kSlowBuild ? error % 5 : 0); k <= operations; k += kSlowBuild ? 5 : 1) {
      Restore();
      int64_t seen = 0;
      const std::string finish = Uninstallation(k, error, &seen, &failed);
      SCOPED_TRACE("operation " + std::to_string(k) + " of " + std::to_string(seen) + " failing with " +
                   std::to_string(error) + ": " + failed);
      ASSERT_FALSE(failed.empty()) << "operation " << k << " was never reached";
      ++runs;
      if (finish == kRemoved) {
        // Only the deletion of the copy at the next start is not essential.
        ExpectNothingOfTheSuite(failed.rfind("DeleteAtReboot", 0) == 0);
        continue;
      }
      ASSERT_EQ(finish, kSomethingLeft);
      ++told;
      EXPECT_TRUE(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"));
      EXPECT_TRUE(RegText(kUninstallEntry, "UninstallString"));
      EXPECT_TRUE(FileExists(kInstalledUninstaller));
      int64_t again = 0;
      EXPECT_EQ(Uninstallation(0, 0, &again, &failed), kRemoved) << "run again";
      ExpectNothingOfTheSuite(false);
      if (HasFailure()) return;
    }
  }
  std::cout << "uninstallation: " << operations << " mutating operations; " << runs
            << " runs with one failing, " << told << " told as something left\n";
}

}  // namespace
}  // namespace qr5::uninstall
