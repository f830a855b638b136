// Whole setups on a broken machine: a disk that fills up during a
// reinstall, a temporary folder that is missing or cannot be made. What the
// user is shown, and what is left on the disk.
#include <gtest/gtest.h>

#include <strings.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/program_entry.h"
#include "archive/zip_builder.h"
#include "install/install_fixture.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step6.h"
#include "platform/sim/sim_machine_config.h"

namespace qr5::install {
namespace {

using testing::InstallTest;

constexpr char kHeadline[] = "Setup could not install Quorlin 5 completely.";
constexpr char kEntryKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5";

class MachineFaultsTest : public InstallTest {
 protected:
  // Runs the setup as a new process through every page in English; steps
  // not reached are left in the queue.
  void RunSetup() {
    Reopen();
    fe_.steps.push_back([] {
      pages::TFormStep1& page = *pages::FormStep1;
      ASSERT_TRUE(page.IsModal());
      const auto& items = page.LangCombo.items;
      const auto it = std::find(items.begin(), items.end(), "English");
      ASSERT_NE(it, items.end());
      page.SelectItem("LangCombo", static_cast<int>(it - items.begin()));
      page.Click("OKButton");
    });
    fe_.steps.push_back([] {
      ASSERT_TRUE(pages::FormStep2->IsModal());
      pages::FormStep2->Click("NextButton");
    });
    fe_.steps.push_back([] {
      ASSERT_TRUE(pages::FormStep3->IsModal());
      pages::FormStep3->Click("RBAccept");
      pages::FormStep3->Click("NextButton");
    });
    fe_.steps.push_back([] {
      ASSERT_TRUE(pages::FormStep4->IsModal());
      pages::FormStep4->Click("NextButton");
    });
    fe_.steps.push_back([] {
      ASSERT_TRUE(pages::FormStep6->IsModal());
      pages::FormStep6->Click("FinishButton");
    });
    app::RunProgram(fe_);
  }

  // Every file below a folder, with its path relative to it.
  std::vector<std::string> Files(const std::string& folder, const std::string& prefix = "") {
    std::vector<std::string> found;
    for (const std::string& name : List(folder)) {
      const std::string path = folder + "\\" + name;
      if (DirExists(path)) {
        for (const std::string& below : Files(path, prefix + name + "\\")) found.push_back(below);
      } else {
        found.push_back(prefix + name);
      }
    }
    return found;
  }

  void SetTempDir(const std::string& folder) {
    ASSERT_TRUE(platform::sim::WriteMachineSetting(root_ + "/machine.ini", "Paths", "TempDir", folder));
  }
};

TEST_F(MachineFaultsTest, ADiskFillingUpDuringAReinstallLeavesEveryFileWholeOldOrNew) {
  RunSetup();
  ASSERT_TRUE(fe_.boxes.empty());
  const std::vector<std::string> installed = Files("C:\\QR5");
  ASSERT_GT(installed.size(), 20u);
  // The earlier version the user has: every file different from the new one.
  for (const std::string& file : installed) WriteFile("C:\\QR5\\" + file, "version 1 of " + file);

  // Room for a few files only.
  sim_->SetFreeSpace('C', 60000);
  RunSetup();
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text.rfind(kHeadline, 0), 0u) << fe_.boxes[0].text;
  EXPECT_NE(fe_.boxes[0].text.find("\nThe disk is full: free some space on drive C: and run Setup again."),
            std::string::npos)
      << fe_.boxes[0].text;
  EXPECT_FALSE(fe_.steps.empty()) << "the setup ends before the finish page";

  int kept = 0, replaced = 0;
  for (const std::string& file : Files("C:\\QR5")) {
    EXPECT_EQ(file.find("~QR"), std::string::npos) << "a temporary file is left: " << file;
  }
  for (const std::string& file : installed) {
    if (file == "KAVO5.DLL") continue;  // copied, not extracted
    const std::string content = ReadFile("C:\\QR5\\" + file);
    if (content.rfind("version 1 of " + file, 0) == 0) {
      ++kept;  // the INI files also got their LanguageFile line again
      continue;
    }
    ++replaced;
    std::string host = file;
    std::replace(host.begin(), host.end(), '\\', '/');
    const std::string fresh = testing::ReadHostFile(testing::SuiteSourceDir() + "/" + host);
    if (file.size() > 4 && strcasecmp(file.c_str() + file.size() - 4, ".INI") == 0) {
      // Extracted whole, then given its LanguageFile line.
      const std::string head = fresh.substr(0, fresh.find("[Setup]"));
      EXPECT_EQ(content.substr(0, head.size()), head) << file;
    } else {
      EXPECT_EQ(content, fresh) << file << " is neither the old nor the new copy";
    }
  }
  EXPECT_GT(kept, 0);
  EXPECT_GT(replaced, 0);
}

TEST_F(MachineFaultsTest, AMissingTemporaryFolderIsMadeAndTheSetupRuns) {
  SetTempDir("C:\\GONE\\TEMP\\");
  RunSetup();
  EXPECT_TRUE(fe_.boxes.empty());
  EXPECT_TRUE(fe_.steps.empty()) << "every page was shown";
  EXPECT_TRUE(FileExists("C:\\QR5\\QR5.EXE"));
  EXPECT_TRUE(DirExists("C:\\GONE\\TEMP"));
  EXPECT_EQ(List("C:\\GONE\\TEMP"), std::vector<std::string>{}) << "language files deleted at the end";
}

TEST_F(MachineFaultsTest, ATemporaryFolderThatCannotBeMadeIsToldAndTheSetupEnds) {
  // A drive that does not exist: the language files cannot be written; the
  // user is told what is wrong with the temporary folder, and no page comes.
  SetTempDir("Q:\\TEMP\\");
  Reopen();
  fe_.steps.push_back([] {
    if (pages::FormStep1->IsModal()) pages::FormStep1->Click("CancelButton");
  });
  app::RunProgram(fe_);
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text,
            "Setup could not write to the temporary folder Q:\\TEMP\\\n\nThe drive or folder does not exist: "
            "choose another folder.");
  EXPECT_FALSE(DirExists("C:\\QR5"));
}


TEST_F(MachineFaultsTest, ReadOnlyFilesOfAnEarlierInstallationAreKeptSilently) {
  RunSetup();
  WriteFile("C:\\QR5\\QR5.EXE", "version 1");
  SetReadOnly("C:\\QR5\\QR5.EXE");
  RunSetup();
  EXPECT_TRUE(fe_.boxes.empty());
  EXPECT_TRUE(fe_.steps.empty()) << "every page was shown";
  EXPECT_EQ(ReadFile("C:\\QR5\\QR5.EXE"), "version 1");
  EXPECT_NE(files().GetFileAttributes("C:\\QR5\\QR5.EXE") & platform::FILE_ATTRIBUTE_READONLY, 0u);
}

// ---- nothing fails silently ---------------------------------------------------
// Whatever is not installed is told once, the finish page does not come (so
// neither do its shortcuts), and the uninstall entry stays so that what was
// installed can be removed.

TEST_F(MachineFaultsTest, NoRightsOnTheUsersKeyAreToldOnceAndTheSuiteIsStillInstalled) {
  sim_->DenyRegistryKey(platform::HKEY_CURRENT_USER, "Quorlin5");
  RunSetup();
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, std::string(kHeadline) +
                                   "\n\nSetup could not write HKEY_CURRENT_USER\\Quorlin5\nAccess was denied: ask an "
                                   "administrator for the rights, or choose another folder.");
  EXPECT_EQ(fe_.boxes[0].caption, "QR5_Installer");
  EXPECT_EQ(fe_.steps.size(), 1u) << "no finish page";
  EXPECT_TRUE(FileExists("C:\\QR5\\QR5.EXE"));
  EXPECT_TRUE(FileExists(std::string(testing::kEngineDir) + "\\IDAPI32.DLL"));
  EXPECT_TRUE(DirExists(std::string(testing::kAllUsers) + "\\Start Menu\\Programs\\Quorlin 5"));
  EXPECT_TRUE(RegText(kEntryKey, "UninstallString"));
}

TEST_F(MachineFaultsTest, ALimitedUserOnNtIsToldToAskAnAdministratorAndNothingIsInstalled) {
  // The rights are tried on the NT family only; Windows 98 has none to try.
  struct Case {
    const char* name;
    int32_t platform_id, major, minor;
    bool told;
  };
  for (const Case& c : {Case{"XP", 2, 5, 1, true}, Case{"98", 1, 4, 10, false}}) {
    SCOPED_TRACE(c.name);
    SetVersion(c.platform_id, c.major, c.minor, 0, "");
    sim_->MakeRegistryKeyReadOnly(platform::HKEY_LOCAL_MACHINE, "SOFTWARE");  // as a limited user has it
    RunSetup();
    if (!c.told) {
      EXPECT_TRUE(FileExists("C:\\QR5\\QR5.EXE"));
      for (const auto& box : fe_.boxes) EXPECT_EQ(box.text.find("administrator."), std::string::npos) << box.text;
      continue;
    }
    ASSERT_EQ(fe_.boxes.size(), 1u);
    EXPECT_EQ(fe_.boxes[0].text,
              "Quorlin 5 must be installed by an administrator. Log on as an administrator and run Setup again.");
    EXPECT_EQ(fe_.steps.size(), 1u) << "no finish page";
    EXPECT_FALSE(DirExists("C:\\QR5"));
    EXPECT_FALSE(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"));
  }
}

TEST_F(MachineFaultsTest, AReadOnlySuiteIniIsToldAndTheOtherProgramsAndTheGroupAreDone) {
  RunSetup();
  SetReadOnly("C:\\QR5\\HERALDO.INI");
  const std::string heraldo = ReadFile("C:\\QR5\\HERALDO.INI");
  files().DeleteFile("C:\\QR5\\QR5.EXE");
  RunSetup();
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, std::string(kHeadline) +
                                   "\n\nSetup could not write C:\\QR5\\HERALDO.INI\nAccess was denied: ask an "
                                   "administrator for the rights, or choose another folder.");
  EXPECT_EQ(fe_.steps.size(), 1u) << "no finish page";
  EXPECT_EQ(ReadFile("C:\\QR5\\HERALDO.INI"), heraldo);
  EXPECT_TRUE(FileExists("C:\\QR5\\QR5.EXE"));
  EXPECT_EQ(List(std::string(testing::kAllUsers) + "\\Start Menu\\Programs\\Quorlin 5").size(), 10u);
}

TEST_F(MachineFaultsTest, ADestinationTooLongForSomeFilesIsToldWithTheFirstOneAndMakesNoShortcut) {
  const std::string folder = "C:\\" + std::string(236, 'L');  // 240 characters
  SetRegText(platform::HKEY_CURRENT_USER, "Quorlin5", "Installation Path", folder);
  RunSetup();
  ASSERT_EQ(fe_.boxes.size(), 1u);
  const std::string& text = fe_.boxes[0].text;
  const size_t at = text.find(" files were not installed, the first one: " + folder + "\\");
  ASSERT_NE(at, std::string::npos) << text;
  const int count = std::stoi(text.substr(text.rfind('\n', at) + 1));
  EXPECT_GT(count, 10);
  EXPECT_GT(Files(folder).size(), 10u) << "the files that fit are installed";
  EXPECT_EQ(fe_.steps.size(), 1u) << "no finish page";
  EXPECT_FALSE(FileExists(std::string(testing::kAllUsers) + "\\Desktop\\Quorlin 5.lnk"));
  EXPECT_FALSE(FileExists(std::string(testing::kAllUsers) + "\\Start Menu\\Programs\\Startup\\Heraldo.lnk"));
  EXPECT_EQ(RegText(kEntryKey, "UninstallString"), folder + "\\QR5_UNINSTALLER.EXE");
}

TEST_F(MachineFaultsTest, EntriesRefusedAsOverlappingOrImpossiblySizedAreCountedAsNotInstalled) {
  // A damaged or hostile setup: its language files are sound, one suite
  // entry's data run over the next one's header and one declares a size its
  // data cannot reach.
  using archive::test::BuildEntry;
  using archive::test::Stored;
  std::vector<BuildEntry> entries = {
      Stored("language.eng", testing::ReadHostFile(testing::SuiteSourceDir() + "/language.eng")),
      Stored("LICENSE.ENG", testing::ReadHostFile(testing::SuiteSourceDir() + "/LICENSE.ENG")),
      Stored("QR5.EXE", "the program"), Stored("TWIN.EXE", "twin"), Stored("BIG.DAT", "tiny")};
  entries[2].compressed_size = entries[2].uncompressed_size = 11 + 30 + 8 + 4;
  entries[4].uncompressed_size = 1 << 30;
  const std::string stub = testing::ReadHostFile(Host(testing::kSetupExe)).substr(0, 4096);
  archive::test::BuildOptions options;
  options.prefix = stub;
  WriteFile(testing::kSetupExe, archive::test::BuildZip(entries, options));
  RunSetup();
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text,
            std::string(kHeadline) + "\n\n2 files were not installed, the first one: C:\\QR5\\QR5.EXE");
  EXPECT_EQ(fe_.steps.size(), 1u) << "no finish page";
  EXPECT_FALSE(FileExists("C:\\QR5\\QR5.EXE"));
  EXPECT_EQ(ReadFile("C:\\QR5\\TWIN.EXE"), "twin");
  EXPECT_FALSE(FileExists("C:\\QR5\\BIG.DAT"));
}

}  // namespace
}  // namespace qr5::install
