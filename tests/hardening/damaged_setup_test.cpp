// A setup file whose payload directory is damaged (records sharing a local
// header, two broken signatures, an end record counting too few), each hitting
// the English language file: the language pass tells the user the setup
// cannot run and the setup ends, with nothing installed and nothing left in
// the temporary folder. The payload is Info-ZIP's, as the build makes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program_entry.h"
#include "archive/zip_builder.h"
#include "install/install_fixture.h"
#include "pages/form_step1.h"

namespace qr5::install {
namespace {

using archive::test::Damage;

class DamagedSetupTest : public testing::InstallTest {
 protected:
  // A stub with the suite zipped by Info-ZIP behind it, offsets adjusted by
  // zip -A.
  std::string InfoZipSetup() {
    const std::string zip = root_ + "/suite.zip", exe = root_ + "/setup.exe";
    testing::WriteHostFile(exe, testing::ReadHostFile(Host(testing::kSetupExe)).substr(0, 4096));
    const std::string command = "cd '" + testing::SuiteSourceDir() + "' && zip -q -r -X '" + zip +
                                "' . && cat '" + zip + "' >> '" + exe + "' && zip -q -A '" + exe + "'";
    if (std::system(command.c_str()) != 0) return "";
    return testing::ReadHostFile(exe);
  }
};

TEST_F(DamagedSetupTest, ADamagedDirectoryEndsTheSetupAtTheLanguagePass) {
  const std::string setup = InfoZipSetup();
  ASSERT_FALSE(setup.empty()) << "needs Info-ZIP zip";
  for (const Damage damage :
       {Damage::kNone, Damage::kSharedLocalHeader, Damage::kTwoSignatures, Damage::kFewerCounted}) {
    SCOPED_TRACE(static_cast<int>(damage));
    const std::string damaged = archive::test::Damaged(setup, damage, "language.eng");
    ASSERT_FALSE(damaged.empty());
    WriteFile(testing::kSetupExe, damaged);
    Reopen();
    std::vector<std::string> offered = {"not shown"};
    fe_.steps.push_back([&] {
      offered = pages::FormStep1->LangCombo.items;
      pages::FormStep1->Click("CancelButton");
    });
    app::RunProgram(fe_);
    const std::string temp = files().GetTempPath();
    EXPECT_EQ(List(temp.substr(0, temp.size() - 1)), std::vector<std::string>{});
    EXPECT_FALSE(DirExists("C:\\QR5"));
    if (damage == Damage::kNone) {
      EXPECT_TRUE(fe_.boxes.empty());
      EXPECT_NE(std::find(offered.begin(), offered.end(), "English"), offered.end());
      continue;
    }
    ASSERT_EQ(fe_.boxes.size(), 1u);
    EXPECT_EQ(fe_.boxes[0].text, "Unable to run the stub program without data to expand...");
    EXPECT_EQ(offered, std::vector<std::string>{"not shown"}) << "the language page ends at once";
  }
}

}  // namespace
}  // namespace qr5::install
