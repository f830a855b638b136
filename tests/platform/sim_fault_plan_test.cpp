// The fault plan: it counts only mutating operations, fails exactly the
// planned one with its error as the last error, and passes the rest through.
#ifndef _WIN32

#include "platform/sim/sim_fault_plan.h"

#include "sim_fixture.h"

namespace {

using namespace qr5::platform;

class SimFaultPlanTest : public simtest::SimMachineTest {};

// Each step is one mutating operation through the plan's services.
bool Step(Machine& m, int step) {
  HKEY key = 0;
  switch (step) {
    case 0: return m.files->CreateDirectory("C:\\F");
    case 1: {
      auto file = m.files->OpenFile("C:\\F\\a.txt", OpenMode::kCreateAlways);
      return file != nullptr;
    }
    case 2: return m.files->CopyFile("C:\\WINDOWS\\win.ini", "C:\\F\\b.txt", false);
    case 3: return m.files->MoveFileReplace("C:\\F\\b.txt", "C:\\F\\c.txt");
    case 4: return m.files->SetFileAttributes("C:\\F\\c.txt", FILE_ATTRIBUTE_ARCHIVE);
    case 5: return m.files->DeleteFile("C:\\F\\c.txt");
    case 6: return m.profile->WriteString("C:\\F\\x.ini", "S", "K", "V");
    case 7: return m.registry->CreateKey(HKEY_CURRENT_USER, "Plan", &key) == 0 && m.registry->CloseKey(key) == 0;
    default: {
      m.com->Initialize();
      auto link = m.com->CreateShellLink();
      return link && link->SetPath("C:\\F\\x.ini") && link->Save("C:\\F\\x.lnk");
    }
  }
}

TEST_F(SimFaultPlanTest, CountsMutatingOperationsAndFailsOnlyThePlannedOneWithItsError) {
  simtest::HostWrite(sim_->HostPath("C:\\WINDOWS\\win.ini"), "[windows]\r\n");
  constexpr int kSteps = 9;
  sim::FaultPlan plan(sim_->machine());
  Machine& m = plan.machine();
  // Reads and queries are not counted.
  EXPECT_NE(m.files->GetFileAttributes("C:\\WINDOWS"), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(m.files->OpenFile("C:\\WINDOWS\\win.ini", OpenMode::kRead), nullptr);
  EXPECT_EQ(plan.operations(), 0);
  for (int s = 0; s < kSteps; ++s) EXPECT_TRUE(Step(m, s)) << s;
  EXPECT_EQ(plan.operations(), kSteps);
  EXPECT_FALSE(plan.failed());

  for (int k = 1; k <= kSteps; ++k) {
    for (uint32_t error : {ERROR_ACCESS_DENIED, ERROR_DISK_FULL}) {
      std::filesystem::remove_all(sim_->HostPath("C:\\F"));
      Reopen();
      sim::FaultPlan each(sim_->machine());
      each.FailAt(k, error);
      // The steps before the planned one pass; it fails with its error.
      for (int s = 0; s < k; ++s) {
        const bool ok = Step(each.machine(), s);
        EXPECT_EQ(ok, s + 1 != k) << "step " << s << " with k " << k;
        if (!ok && s != 7) {
          EXPECT_EQ(each.machine().files->GetLastError(), error) << s;
        }
      }
      EXPECT_EQ(each.operations(), k);
      EXPECT_TRUE(each.failed());
      EXPECT_FALSE(each.failed_operation().empty());
      // The write that failed did nothing.
      if (k == 3) {
        EXPECT_EQ(files().GetFileAttributes("C:\\F\\c.txt"), INVALID_FILE_ATTRIBUTES);
      }
    }
  }
  // A write through an open file is counted and fails with the error.
  sim::FaultPlan writes(sim_->machine());
  auto file = writes.machine().files->OpenFile("C:\\w.bin", OpenMode::kCreateAlways);
  ASSERT_NE(file, nullptr);
  writes.FailAt(2, ERROR_DISK_FULL);
  EXPECT_TRUE(file->Write("a", 1));
  EXPECT_FALSE(file->Write("b", 1));
  EXPECT_EQ(writes.machine().files->GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(file->Size(), 1);
}

}  // namespace

#endif  // _WIN32
