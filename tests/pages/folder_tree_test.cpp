#include "pages/folder_tree.h"

#include <gtest/gtest.h>

#include "pages/product_folder.h"
#include "pages_fixture.h"

namespace qr5::pages {
namespace {

using testing::PagesTest;

class FolderTreeTest : public PagesTest {
 protected:
  std::vector<std::string> Names(const FolderNode& node) {
    std::vector<std::string> names;
    for (const auto& child : node.children) names.push_back(child->name);
    return names;
  }
  FolderNode& Drive(char letter) {
    for (const auto& d : tree_.Drives()) {
      if (d->name[0] == letter) return *d;
    }
    throw std::runtime_error("no drive");
  }
  FolderTree tree_;
};

TEST_F(FolderTreeTest, DrivesInLetterOrder) {
  AddDrive('M');
  AddDrive('D');
  std::vector<std::string> names;
  for (const auto& d : tree_.Drives()) names.push_back(d->name);
  ASSERT_GE(names.size(), 3u);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_NE(std::find(names.begin(), names.end(), "C:\\"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "D:\\"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "M:\\"), names.end());
  EXPECT_EQ(tree_.Drives()[0]->Path(), tree_.Drives()[0]->name);
}

TEST_F(FolderTreeTest, SubfoldersAreReadOnFirstExpansionSortedWithoutHiddenSystemOnes) {
  MakeDir("C:\\zeta");
  MakeDir("C:\\Alpha");
  MakeDir("C:\\beta");
  MakeDir("C:\\Hidden");
  MakeDir("C:\\System");
  MakeDir("C:\\Both");
  WriteFile("C:\\afile.txt", "x");
  ASSERT_TRUE(Files().SetFileAttributes("C:\\Hidden", platform::FILE_ATTRIBUTE_DIRECTORY |
                                                          platform::FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(Files().SetFileAttributes("C:\\System", platform::FILE_ATTRIBUTE_DIRECTORY |
                                                          platform::FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(Files().SetFileAttributes(
      "C:\\Both", platform::FILE_ATTRIBUTE_DIRECTORY | platform::FILE_ATTRIBUTE_HIDDEN |
                      platform::FILE_ATTRIBUTE_SYSTEM));
  MakeDir("C:\\Alpha\\Inner");

  FolderNode& c = Drive('C');
  EXPECT_TRUE(c.children.empty()) << "nothing is read before the entry is expanded";
  tree_.Expand(c);
  const std::vector<std::string> names = Names(c);
  // The machine's own folders are there too; only the order of ours and
  // the left-out entries matter.
  const std::vector<std::string> made = {"zeta", "Alpha", "beta", "Hidden", "System", "Both"};
  std::vector<std::string> ours;
  for (const auto& n : names) {
    if (std::find(made.begin(), made.end(), n) != made.end()) ours.push_back(n);
  }
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](std::string a, std::string b) {
    for (auto* s : {&a, &b})
      for (char& ch : *s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return a < b;
  }));
  EXPECT_EQ(ours, (std::vector<std::string>{"Alpha", "beta", "Hidden", "System", "zeta"}));
  for (const auto& n : names) {
    EXPECT_NE(n, ".");
    EXPECT_NE(n, "..");
  }
  FolderNode* alpha = tree_.Find("C:\\Alpha");
  ASSERT_NE(alpha, nullptr);
  tree_.Expand(*alpha);
  EXPECT_EQ(Names(*alpha), std::vector<std::string>{"Inner"});

  // Read once: a folder made later does not appear until the next run.
  MakeDir("C:\\Alpha\\Later");
  tree_.Collapse(*alpha);
  tree_.Expand(*alpha);
  EXPECT_EQ(Names(*alpha), std::vector<std::string>{"Inner"});
}

TEST_F(FolderTreeTest, MoveToFindsEntriesWithoutRegardToCase) {
  MakeDir("C:\\Apps");
  MakeDir("C:\\Apps\\Tools");
  std::vector<std::string> seen;
  tree_.on_change = [&] { seen.push_back(tree_.SelectedFolder()); };
  tree_.MoveTo("c:\\APPS\\tools", false);
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\Apps\\Tools");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "C:\\Apps\\Tools") << "notified after the selection is updated";

  tree_.MoveTo("C:", false);
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\");
  tree_.MoveTo("C:\\", false);
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\");
  EXPECT_EQ(seen.back(), "C:\\");
}

TEST_F(FolderTreeTest, NamesCompareInTheLetterCaseOfTheCodePageBeyondAscii) {
  MakeDir("C:\\\xC4rger");  // Ärger
  tree_.MoveTo("C:\\\xE4rger", true);  // typed as ärger: found, nothing added
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\\xC4rger");
  EXPECT_FALSE(tree_.Selected()->is_new);
  EXPECT_EQ(LastPosNoCase("\\QR5", "C:\\\xE4rger\\qr5"), 9u);
}

TEST_F(FolderTreeTest, WithoutAddingTheWalkStopsAtTheDeepestExistingFolder) {
  MakeDir("C:\\Apps");
  tree_.MoveTo("C:\\Apps\\Missing\\Deeper", false);
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\Apps");
  EXPECT_EQ(tree_.Find("C:\\Apps\\Missing"), nullptr);

  tree_.MoveTo("Q:\\Apps", false);
  EXPECT_EQ(tree_.SelectedFolder(), "") << "no such drive: nothing selected";
  tree_.MoveTo("", true);
  EXPECT_EQ(tree_.SelectedFolder(), "");
}

TEST_F(FolderTreeTest, AddingMakesNewEntriesOnlyInTheTreeAndDropsEarlierOnes) {
  MakeDir("C:\\Apps");
  tree_.MoveTo("C:\\Apps\\New1\\New2", true);
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\Apps\\New1\\New2");
  FolderNode* new1 = tree_.Find("C:\\Apps\\New1");
  ASSERT_NE(new1, nullptr);
  EXPECT_TRUE(new1->is_new);
  EXPECT_TRUE(tree_.Selected()->is_new);
  EXPECT_EQ(Files().GetFileAttributes("C:\\Apps\\New1"), platform::INVALID_FILE_ATTRIBUTES)
      << "no folder is made on disk";

  // Moving elsewhere without adding keeps them.
  tree_.MoveTo("C:\\Apps", false);
  EXPECT_NE(tree_.Find("C:\\Apps\\New1"), nullptr);

  // Adding on another path drops the earlier new entries.
  tree_.MoveTo("C:\\Other", true);
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\Other");
  EXPECT_EQ(tree_.Find("C:\\Apps\\New1"), nullptr);
  EXPECT_NE(tree_.Find("C:\\Apps"), nullptr) << "folders on disk stay";

  // Adding below a new entry keeps the entries on the path.
  tree_.MoveTo("C:\\Other\\Sub", true);
  EXPECT_NE(tree_.Find("C:\\Other"), nullptr);
  EXPECT_EQ(tree_.SelectedFolder(), "C:\\Other\\Sub");

  // A missing drive gets no entry, flag or not.
  tree_.MoveTo("Q:\\Apps", true);
  EXPECT_EQ(tree_.SelectedFolder(), "");
}

TEST_F(FolderTreeTest, ADriveWithoutADiskIsListedAndOpensEmpty) {
  sim_->SetDriveNotReady('A');
  FolderNode& a = Drive('A');
  EXPECT_EQ(&a, tree_.Drives()[0].get()) << "A comes first";
  tree_.Expand(a);
  EXPECT_TRUE(a.children.empty());
  tree_.MoveTo("A:\\Apps", true);
  EXPECT_EQ(tree_.SelectedFolder(), "A:\\Apps");
}

TEST_F(FolderTreeTest, ADriveAddedAfterTheListWasReadIsFound) {
  ASSERT_FALSE(tree_.Drives().empty());
  AddDrive('K');
  tree_.MoveTo("K:", false);
  EXPECT_EQ(tree_.SelectedFolder(), "K:\\");
}

TEST_F(FolderTreeTest, VisibleEntriesAsText) {
  MakeDir("C:\\Apps");
  MakeDir("C:\\Apps\\Tools");
  tree_.MoveTo("C:\\Apps\\Fresh", true);
  std::vector<std::string> lines;
  for (FolderNode* node : tree_.VisibleNodes()) lines.push_back(FolderTree::DisplayLine(*node));
  const auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("[-] C:\\"));
  EXPECT_TRUE(has("  [-] Apps"));
  EXPECT_TRUE(has("        Fresh (new)"));
  EXPECT_TRUE(has("    [+] Tools"));
  const auto at = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
  };
  EXPECT_LT(at("  [-] Apps"), at("        Fresh (new)"));
  EXPECT_LT(at("        Fresh (new)"), at("    [+] Tools"));
}

}  // namespace
}  // namespace qr5::pages
