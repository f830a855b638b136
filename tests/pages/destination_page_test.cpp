#include <gtest/gtest.h>

#include "pages_fixture.h"

namespace qr5::pages {
namespace {

using forms::Key;
using testing::PagesTest;

class DestinationPageTest : public PagesTest {
 protected:
  std::string Folder() { return step4_->Get("LabelSelectedFolder").text; }
  // Shows the page; `steps` run inside it; returns the page's result.
  int ShowPage() { return step4_->ShowModal(); }
};

TEST_F(DestinationPageTest, DefaultAndRecordedFolders) {
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(Folder(), "C:\\QR5");
  EXPECT_EQ(session::Session().InstallDir, "C:\\QR5");
  EXPECT_EQ(step4_->Get("BrowseButton").text, "B&rowse...");
  EXPECT_EQ(step4_->Get("Label3").text, "At least 10 MB of free disk space is required.");
  EXPECT_EQ(step4_->RequiredFreeSpace(), 0) << "the English file has no \"4_006\"";

  session::Session().PreviousInstallPath = "D:\\Ham\\QR5";
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(Folder(), "D:\\Ham\\QR5");
  EXPECT_EQ(session::Session().InstallDir, "D:\\Ham\\QR5");
}

TEST_F(DestinationPageTest, FreeSpaceEqualToTheRequirementPasses) {
  SetInstallerText("4_006", "10");
  sim_->SetFreeSpace('C', 10240000);
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(step4_->RequiredFreeSpace(), 10240000);
  EXPECT_EQ(Shown("TDlgError"), 0);
}

TEST_F(DestinationPageTest, OneByteLessIsRefusedAndCloseStillAsks) {
  SetInstallerText("4_006", "10");
  sim_->SetFreeSpace('C', 10239999);
  std::string error_texts;
  bool open_after_error = false;
  Then([&] { step4_->Click("NextButton"); });
  Then([&] {
    error_texts = error_->caption + "|" + error_->Message() + "|" + error_->Get("BtnOk").text;
    error_->Click("BtnOk");
  });
  Then([&] {
    open_after_error = step4_->Visible();
    step4_->Click("CancelButton");
  });
  Then([&] { exit_->Click("NoButton"); });
  Then([&] { step4_->CloseByFrame(); });
  Then([&] { exit_->Click("NoButton"); });
  // Space freed meanwhile: Next passes now.
  Then([&] {
    sim_->SetFreeSpace('C', 20000000);
    step4_->Click("NextButton");
  });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(error_texts, "Error|At least 10 MB of free disk space is required.|Ok");
  EXPECT_TRUE(open_after_error);
  EXPECT_EQ(Shown("TDlgError"), 1);
  EXPECT_EQ(Shown("TFormExitSetup"), 2);
  EXPECT_TRUE(fe_.steps.empty());
}

TEST_F(DestinationPageTest, ANegativeOrMissingRequirementNeverFails) {
  sim_->SetFreeSpace('C', 0);
  SetInstallerText("4_006", "-5");
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(step4_->RequiredFreeSpace(), -5 * 1024000LL);

  SetInstallerText("4_006", "ten");
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(step4_->RequiredFreeSpace(), 0);
  EXPECT_EQ(Shown("TDlgError"), 0);
}

TEST_F(DestinationPageTest, TheRequirementIsComputedIn64Bits) {
  SetInstallerText("4_006", "3000");  // 3,072,000,000 bytes: more than 31 bits
  sim_->SetFreeSpace('C', 3072000000LL - 1);
  Then([&] { step4_->Click("NextButton"); });
  Then([&] { error_->Click("BtnOk"); });
  Then([&] { step4_->Click("BackButton"); });
  EXPECT_EQ(ShowPage(), forms::mrBack);
  EXPECT_EQ(step4_->RequiredFreeSpace(), 3072000000LL);
  EXPECT_EQ(Shown("TDlgError"), 1);
}

TEST_F(DestinationPageTest, ARecordedFolderBelowWhatIsNowAFileOrOnAMissingDriveIsRefusedWithThePathError) {
  WriteFile("D:\\file.txt", "a file");
  for (const char* recorded : {"D:\\file.txt\\QR5", "Q:\\QR5"}) {
    SCOPED_TRACE(recorded);
    session::Session().PreviousInstallPath = recorded;
    std::string message;
    Then([&] { step4_->Click("NextButton"); });
    Then([&] {
      message = error_->Message();
      error_->Click("BtnOk");
    });
    Then([&] { step4_->Click("CancelButton"); });
    Then([&] { exit_->Click("YesButton"); });
    EXPECT_EQ(ShowPage(), forms::mrCancel);
    EXPECT_EQ(message, "The selected path is not valid.");
    EXPECT_EQ(Shown("TDlgError"), 1);
    fe_.shown.clear();
  }
}

TEST_F(DestinationPageTest, SpaceThatCannotBeDeterminedPasses) {
  SetInstallerText("4_006", "10");
  session::Session().PreviousInstallPath = "\\\\server\\share\\QR5";  // no drive letter
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(Shown("TDlgError"), 0);
  EXPECT_EQ(DriveFreeSpace("Q:\\QR5"), -1);
  sim_->SetDriveNotReady('A');
  EXPECT_EQ(DriveFreeSpace("a:\\QR5"), -1);
  EXPECT_EQ(DriveFreeSpace("\\QR5"), -1);
  EXPECT_EQ(DriveFreeSpace(""), -1);
}

TEST_F(DestinationPageTest, BrowseFromTheDefaultOpensAtTheRootOfC) {
  AddDrive('D');
  MakeDir("D:\\Apps");
  std::string tree_at, field_at;
  Then([&] { step4_->Click("BrowseButton"); });
  Then([&] {
    tree_at = browse_->SelectedFolder();
    field_at = browse_->Get("Edit1").text;
    EXPECT_TRUE(browse_->SelectPath("FolderTreeView1", "D:\\Apps"));
    EXPECT_EQ(browse_->Get("Edit1").text, "D:\\Apps\\QR5");
    browse_->Click("BtnOk");
  });
  Then([&] {
    EXPECT_EQ(Folder(), "D:\\Apps\\QR5");
    step4_->Click("BrowseButton");
  });
  Then([&] {
    EXPECT_EQ(browse_->SelectedFolder(), "D:\\Apps");
    EXPECT_TRUE(browse_->SelectPath("FolderTreeView1", "D:\\"));
    browse_->KeyDown(Key::kEnter);
  });
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(tree_at, "C:\\");
  EXPECT_EQ(field_at, "C:\\QR5");
  EXPECT_EQ(Folder(), "D:\\QR5");
  EXPECT_EQ(session::Session().InstallDir, "D:\\QR5");
}

TEST_F(DestinationPageTest, TheProductFolderIsFoundWithoutRegardToCase) {
  MakeDir("C:\\Apps");
  session::Session().PreviousInstallPath = "C:\\Apps\\qr5";
  std::string tree_at;
  Then([&] { step4_->Click("BrowseButton"); });
  Then([&] {
    tree_at = browse_->SelectedFolder();
    browse_->Click("BtnOk");
  });
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(tree_at, "C:\\Apps");
  EXPECT_EQ(session::Session().InstallDir, "C:\\Apps\\QR5");
}

TEST_F(DestinationPageTest, CancelInTheBrowseDialogChangesNothing) {
  AddDrive('D');
  Then([&] { step4_->Click("BrowseButton"); });
  Then([&] {
    browse_->SelectPath("FolderTreeView1", "D:\\");
    browse_->Click("BtnCancel");
  });
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(Folder(), "C:\\QR5");
  EXPECT_EQ(session::Session().InstallDir, "C:\\QR5");
}

TEST_F(DestinationPageTest, BackDiscardsTheBrowsedFolder) {
  AddDrive('D');
  Then([&] { step4_->Click("BrowseButton"); });
  Then([&] {
    browse_->SelectPath("FolderTreeView1", "D:\\");
    browse_->Click("BtnOk");
  });
  Then([&] { step4_->Click("BackButton"); });
  EXPECT_EQ(ShowPage(), forms::mrBack);
  EXPECT_EQ(session::Session().InstallDir, "D:\\QR5");

  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(Folder(), "C:\\QR5");
  EXPECT_EQ(session::Session().InstallDir, "C:\\QR5");
}

TEST_F(DestinationPageTest, ATypedNewFolderEndsUpOnThePage) {
  AddDrive('D');
  Then([&] { step4_->Click("BrowseButton"); });
  Then([&] {
    browse_->TypeText("Edit1", "D:\\New\\QR5");
    browse_->Click("BtnOk");
  });
  Then([&] { step4_->Click("NextButton"); });
  EXPECT_EQ(ShowPage(), forms::mrOk);
  EXPECT_EQ(Folder(), "D:\\New\\QR5");
  EXPECT_EQ(session::Session().InstallDir, "D:\\New\\QR5");
  EXPECT_EQ(Files().GetFileAttributes("D:\\New"), platform::INVALID_FILE_ATTRIBUTES);
}

TEST_F(DestinationPageTest, TheSpaceErrorKeepsItsTextAfterTheBrowseDialogsError) {
  SetInstallerText("4_006", "10");
  sim_->SetFreeSpace('C', 5);
  std::string browse_error, space_error;
  Then([&] { step4_->Click("BrowseButton"); });
  Then([&] {
    browse_->TypeText("Edit1", "C:/bad");
    browse_->Click("BtnOk");
  });
  Then([&] {
    browse_error = error_->Message();
    error_->Click("BtnOk");
  });
  Then([&] { browse_->Click("BtnCancel"); });
  Then([&] { step4_->Click("NextButton"); });
  Then([&] {
    space_error = error_->Message();
    error_->Click("BtnOk");
  });
  Then([&] { step4_->Click("BackButton"); });
  EXPECT_EQ(ShowPage(), forms::mrBack);
  EXPECT_EQ(browse_error, "The selected path is not valid.");
  EXPECT_EQ(space_error, "At least 10 MB of free disk space is required.");
}

}  // namespace
}  // namespace qr5::pages
