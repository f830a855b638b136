#include <gtest/gtest.h>

#include "pages/text_measure.h"
#include "pages_fixture.h"

namespace qr5::pages {
namespace {

using forms::Key;
using testing::PagesTest;

class BrowseDialogTest : public PagesTest {
 protected:
  std::string Field() { return browse_->Get("Edit1").text; }
  // Types into the path field and leaves it with Tab (to the tree).
  void TypeAndLeave(const std::string& text) {
    browse_->TypeText("Edit1", text);
    browse_->KeyDown(Key::kTab);
  }
};

TEST_F(BrowseDialogTest, TextsAndFocusAtShowing) {
  std::string focused;
  Then([&] {
    focused = browse_->active_control ? browse_->active_control->name : "";
    browse_->KeyDown(Key::kEscape);
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(focused, "FolderTreeView1");
  EXPECT_EQ(browse_->caption, "Browse For Folder");
  EXPECT_EQ(browse_->Get("BtnOk").text, "Ok");
  EXPECT_EQ(browse_->Get("BtnCancel").text, "Cancel");
  const forms::Control& label = browse_->Get("Label1");
  EXPECT_EQ(label.text, "Select a folder in the list below, then click OK.");
  EXPECT_EQ(label.width, MeasureText(label.text)) << "one line sized to its text";
  // The error dialog is prepared for a refused path.
  EXPECT_EQ(error_->caption, "Error");
  EXPECT_EQ(error_->Message(), "The selected path is not valid.");
}

TEST_F(BrowseDialogTest, LeavingTheFieldNormalisesAndMovesTheTree) {
  MakeDir("C:\\Apps");
  MakeDir("C:\\Apps\\Tools");
  Then([&] {
    TypeAndLeave("C:\\Apps\\\\Tools\\");
    EXPECT_EQ(Field(), "C:\\Apps\\Tools\\QR5");
    EXPECT_EQ(browse_->SelectedFolder(), "C:\\Apps\\Tools");

    TypeAndLeave("C:\\Apps\\QR5\\Data");
    EXPECT_EQ(Field(), "C:\\Apps\\QR5");
    EXPECT_EQ(browse_->SelectedFolder(), "C:\\Apps");

    TypeAndLeave("c:\\qr5");
    EXPECT_EQ(Field(), "c:\\QR5");
    EXPECT_EQ(browse_->SelectedFolder(), "C:\\");

    TypeAndLeave("C:\\");
    EXPECT_EQ(Field(), "C:\\QR5");
    EXPECT_EQ(browse_->SelectedFolder(), "C:\\");

    TypeAndLeave("  C:\\Apps\\Tools   ");
    EXPECT_EQ(Field(), "C:\\Apps\\Tools\\QR5");
    browse_->Click("BtnOk");
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrOk);
  EXPECT_EQ(browse_->SelectedFolder(), "C:\\Apps\\Tools");
  EXPECT_EQ(Shown("TDlgError"), 0);
}

TEST_F(BrowseDialogTest, ATypedFolderThatDoesNotExistIsAddedSoOkGivesWhatTheFieldShows) {
  AddDrive('D');
  Then([&] {
    TypeAndLeave("D:\\New\\QR5");
    EXPECT_EQ(Field(), "D:\\New\\QR5");
    EXPECT_EQ(browse_->SelectedFolder(), "D:\\New");
    ASSERT_NE(browse_->Tree().Selected(), nullptr);
    EXPECT_TRUE(browse_->Tree().Selected()->is_new);

    // Typed without "\QR5": the missing folders get entries as well.
    TypeAndLeave("D:\\Apps\\Tools");
    EXPECT_EQ(Field(), "D:\\Apps\\Tools\\QR5");
    EXPECT_EQ(browse_->SelectedFolder(), "D:\\Apps\\Tools");
    EXPECT_EQ(browse_->Tree().Find("D:\\New"), nullptr) << "the earlier new entry is dropped";
    browse_->Click("BtnOk");
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrOk);
  EXPECT_EQ(browse_->SelectedFolder() + "\\QR5", Field());
}

// On a Japanese machine (code page 932) the character U+8868 is 0x95 0x5C:
// its trail byte is no backslash, neither where the product folder is
// searched nor where a trailing backslash is dropped or the tree split.
TEST_F(BrowseDialogTest, ATrailByte5CIsNoBackslashOnADoubleByteCodePage) {
  ASSERT_TRUE(sim_->SetCodePage(932));
  const struct {
    const char* typed;
    const char* field;
    const char* selected;
  } cases[] = {
      {"C:\\\x95\\", "C:\\\x95\\\\QR5", "C:\\\x95\\"},              // a folder named U+8868
      {"C:\\\x95\\QR5", "C:\\\x95\\QR5\\QR5", "C:\\\x95\\QR5"},        // U+8868 QR5: no product folder
      {"C:\\\x95\\\\QR5", "C:\\\x95\\\\QR5", "C:\\\x95\\"},        // U+8868 then \QR5
      {"C:\\\x95\\\\\\Data", "C:\\\x95\\\\Data\\QR5", "C:\\\x95\\\\Data"},  // run collapsed
  };
  std::string seen;
  Then([&] {
    for (const auto& c : cases) {
      TypeAndLeave(c.typed);
      if (Field() != c.field || browse_->SelectedFolder() != c.selected) {
        seen += std::string(c.typed) + " gave " + Field() + " / " + browse_->SelectedFolder() + "; ";
      }
    }
    browse_->Click("BtnOk");
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrOk);
  EXPECT_EQ(seen, "");
  EXPECT_EQ(Shown("TDlgError"), 0);
  EXPECT_EQ(browse_->SelectedFolder(), "C:\\\x95\\\\Data");
}

TEST_F(BrowseDialogTest, ARefusedPathShowsTheErrorAndKeepsTheDialogOpen) {
  std::string error_texts, focused_after;
  Then([&] {
    browse_->TypeText("Edit1", " C:\\Apps \\Tools\\ ");
    browse_->Click("BtnOk");
  });
  Then([&] {
    error_texts = error_->caption + "|" + error_->Message();
    error_->KeyDown(Key::kEscape);  // Escape closes the error dialog too
  });
  Then([&] {
    focused_after = browse_->active_control ? browse_->active_control->name : "";
    EXPECT_EQ(Field(), "C:\\Apps \\Tools") << "the normalised text stays in the field";
    // Leaving the field with a refused text asks again and keeps the focus.
    browse_->KeyDown(Key::kTab);
  });
  Then([&] { error_->KeyDown(Key::kEnter); });
  Then([&] {
    EXPECT_EQ(browse_->active_control->name, "Edit1");
    browse_->TypeText("Edit1", "C:\\Apps");
    browse_->KeyDown(Key::kEnter);  // no button focused: the default button
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrOk);
  EXPECT_EQ(error_texts, "Error|The selected path is not valid.");
  EXPECT_EQ(focused_after, "Edit1");
  EXPECT_EQ(Shown("TDlgError"), 2);
  EXPECT_EQ(Field(), "C:\\Apps\\QR5");
}

TEST_F(BrowseDialogTest, AFolderWhoseExistingPartIsAFileIsRefusedOnOk) {
  WriteFile("C:\\file.txt", "a file");
  std::string message;
  Then([&] {
    browse_->TypeText("Edit1", "C:\\file.txt");
    browse_->Click("BtnOk");
  });
  Then([&] {
    message = error_->Message();
    error_->Click("BtnOk");
  });
  Then([&] {
    browse_->TypeText("Edit1", "C:\\file.txt\\QR5\\Data");
    browse_->Click("BtnOk");
  });
  Then([&] { error_->Click("BtnOk"); });
  Then([&] { browse_->Click("BtnCancel"); });
  EXPECT_EQ(browse_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(message, "The selected path is not valid.");
  EXPECT_EQ(Shown("TDlgError"), 2);
}

TEST_F(BrowseDialogTest, CancelWithARefusedPathClosesWithoutAnError) {
  Then([&] {
    browse_->TypeText("Edit1", "\\\\server\\share");
    browse_->Click("BtnCancel");
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrCancel);
  Then([&] {
    browse_->TypeText("Edit1", "C:/Apps");
    browse_->KeyDown(Key::kEscape);
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(Shown("TDlgError"), 0);
}

TEST_F(BrowseDialogTest, TheTreeKeepsItsStateBetweenUses) {
  MakeDir("C:\\Apps");
  Then([&] {
    browse_->SelectPath("FolderTreeView1", "C:\\Apps");
    browse_->Click("BtnOk");
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrOk);
  std::string field_again;
  Then([&] {
    field_again = Field();
    browse_->Click("BtnCancel");
  });
  EXPECT_EQ(browse_->ShowModal(), forms::mrCancel);
  EXPECT_EQ(field_again, "C:\\Apps\\QR5");
  EXPECT_EQ(browse_->SelectedFolder(), "C:\\Apps");
}

TEST_F(BrowseDialogTest, TheTreeControlShowsTheVisibleEntriesAndTheSelection) {
  MakeDir("C:\\Apps");
  browse_->MoveTreeTo("C:\\Apps", false);
  const forms::Control& tree = browse_->Get("FolderTreeView1");
  ASSERT_GE(tree.item_index, 0);
  EXPECT_EQ(tree.items[static_cast<size_t>(tree.item_index)], "  [+] Apps");
  EXPECT_EQ(tree.text, "C:\\Apps") << "the selected folder";
  EXPECT_EQ(Field(), "C:\\Apps\\QR5");
  EXPECT_FALSE(browse_->SelectPath("FolderTreeView1", "C:\\Nowhere"));
  EXPECT_FALSE(browse_->SelectPath("Edit1", "C:\\Apps"));
}

// What a front end that draws the tree itself gets: every entry with its
// level, path and state; opening and closing go through the dialog.
TEST_F(BrowseDialogTest, TheTreeEntriesFollowOpeningClosingAndNewFolders) {
  MakeDir("C:\\Apps");
  MakeDir("C:\\Apps\\Tools");
  MakeDir("C:\\Both");
  ASSERT_TRUE(Files().SetFileAttributes(
      "C:\\Both", platform::FILE_ATTRIBUTE_DIRECTORY | platform::FILE_ATTRIBUTE_HIDDEN |
                       platform::FILE_ATTRIBUTE_SYSTEM));
  const forms::Control& tree = browse_->Get("FolderTreeView1");
  auto entry = [&](const std::string& path) -> const forms::TreeEntry* {
    for (const forms::TreeEntry& e : tree.tree)
      if (e.path == path) return &e;
    return nullptr;
  };
  ASSERT_TRUE(browse_->ExpandPath("FolderTreeView1", "C:\\", true));
  ASSERT_EQ(tree.tree.size(), tree.items.size());
  ASSERT_NE(entry("C:\\Apps"), nullptr);
  EXPECT_EQ(entry("C:\\Apps")->depth, 1);
  EXPECT_TRUE(entry("C:\\Apps")->may_have_children) << "not read yet";
  EXPECT_EQ(entry("C:\\Both"), nullptr) << "hidden and system";
  EXPECT_TRUE(entry("C:\\")->expanded);

  EXPECT_TRUE(browse_->SelectPath("FolderTreeView1", "C:\\Apps\\Tools"));
  ASSERT_NE(entry("C:\\Apps\\Tools"), nullptr);
  EXPECT_TRUE(entry("C:\\Apps\\Tools")->may_have_children) << "selected, not opened";
  ASSERT_TRUE(browse_->ExpandPath("FolderTreeView1", "C:\\Apps\\Tools", true));
  EXPECT_FALSE(entry("C:\\Apps\\Tools")->may_have_children) << "read and empty";
  // Closing an entry above the selection moves the selection up to it, and
  // picking it again (as a tree view reports it) leaves it closed.
  ASSERT_TRUE(browse_->ExpandPath("FolderTreeView1", "C:\\Apps", false));
  EXPECT_EQ(browse_->SelectedFolder(), "C:\\Apps");
  EXPECT_EQ(Field(), "C:\\Apps\\QR5");
  EXPECT_TRUE(browse_->SelectPath("FolderTreeView1", "C:\\Apps"));
  EXPECT_FALSE(entry("C:\\Apps")->expanded);
  EXPECT_EQ(entry("C:\\Apps\\Tools"), nullptr) << "hidden below a closed entry";
  EXPECT_FALSE(browse_->ExpandPath("FolderTreeView1", "C:\\Nowhere", true));

  // A typed folder that is not on the disk comes sorted among its siblings.
  browse_->MoveTreeTo("C:\\Aardvark", true);
  ASSERT_NE(entry("C:\\Aardvark"), nullptr);
  EXPECT_TRUE(entry("C:\\Aardvark")->is_new);
  EXPECT_LT(entry("C:\\Aardvark"), entry("C:\\Apps"));
}

// The tree's keys as in Windows' folder trees: selecting opens nothing,
// Right and "+" open, Left and "-" close, Left goes up, Enter is OK.
TEST_F(BrowseDialogTest, TheTreeKeysSelectWithoutOpening) {
  MakeDir("C:\\Apps");
  MakeDir("C:\\Apps\\Tools");
  MakeDir("C:\\Bin");
  const forms::Control& tree = browse_->Get("FolderTreeView1");
  auto shown = [&](const std::string& path) -> const forms::TreeEntry* {
    for (const forms::TreeEntry& e : tree.tree)
      if (e.path == path) return &e;
    return nullptr;
  };
  ASSERT_TRUE(browse_->ExpandPath("FolderTreeView1", "C:\\", true));
  ASSERT_TRUE(browse_->SelectPath("FolderTreeView1", "C:\\"));
  const struct {
    char key;  // D, U, R, L: arrows; others typed
    const char* selected;
    bool apps_open;
  } rows[] = {
      {'D', "C:\\Apps", false}, {'R', "C:\\Apps", true},  {'R', "C:\\Apps\\Tools", true},
      {'L', "C:\\Apps", true},  {'L', "C:\\Apps", false}, {'L', "C:\\", false},
      {'a', "C:\\Apps", false}, {'+', "C:\\Apps", true},  {'-', "C:\\Apps", false},
      {'b', "C:\\Bin", false},  {'U', "C:\\Apps", false}, {'D', "C:\\Bin", false},
  };
  for (const auto& row : rows) {
    const char k = row.key;
    if (k == 'D' || k == 'U' || k == 'R' || k == 'L')
      browse_->KeyDown(k == 'D' ? Key::kDown : k == 'U' ? Key::kUp : k == 'R' ? Key::kRight : Key::kLeft);
    else
      EXPECT_TRUE(browse_->KeyChar(k));
    EXPECT_EQ(browse_->SelectedFolder(), row.selected) << "after " << k;
    ASSERT_NE(shown("C:\\Apps"), nullptr);
    EXPECT_EQ(shown("C:\\Apps")->expanded, row.apps_open) << "after " << k;
  }
  EXPECT_TRUE(shown("C:\\Bin")->may_have_children) << "passed over, never read";
  browse_->KeyDown(Key::kEnter);
  EXPECT_EQ(browse_->modal_result, forms::mrOk);
  EXPECT_EQ(Field(), "C:\\Bin\\QR5");
}

TEST_F(BrowseDialogTest, TheErrorDialogIsLaidOutForItsMessage) {
  error_->SetTexts("Error", "Ok", "Short");
  Then([&] { error_->Click("BtnOk"); });
  EXPECT_EQ(error_->ShowModal(), forms::mrOk);
  const int label = MeasureText("Short");
  EXPECT_EQ(error_->Get("Label1").width, label);
  EXPECT_EQ(error_->OuterWidth(), label + 80);
  EXPECT_EQ(error_->Get("BtnOk").left, (error_->client_width - 75) / 2);
  EXPECT_EQ(error_->client_height, 103);

  // Wider than 320 pixels: the dialog stops at 400.
  const std::string long_text(70, 'W');
  ASSERT_GT(MeasureText(long_text), 320);
  error_->SetTexts("Error", "Ok", long_text);
  Then([&] { error_->KeyDown(Key::kEnter); });
  EXPECT_EQ(error_->ShowModal(), forms::mrOk);
  EXPECT_EQ(error_->OuterWidth(), 400);
  EXPECT_EQ(error_->Get("BtnOk").left, (400 - TDlgError::kFrameWidth - 75) / 2);

  // Narrower than its button: the left edge rounds toward zero.
  error_->SetTexts("", "", "");
  Then([&] { error_->KeyDown(Key::kEscape); });
  EXPECT_EQ(error_->ShowModal(), forms::mrOk);
  EXPECT_EQ(error_->OuterWidth(), 80);
  EXPECT_EQ(error_->Get("BtnOk").left, 0);

  // A front end with a real font measures the message itself.
  fe_.text_width = [](const std::string& text) { return text == "Short" ? 250 : 0; };
  error_->SetTexts("Error", "Ok", "Short");
  Then([&] { error_->KeyDown(Key::kEnter); });
  EXPECT_EQ(error_->ShowModal(), forms::mrOk);
  EXPECT_EQ(error_->Get("Label1").width, 250);
  EXPECT_EQ(error_->OuterWidth(), 330);
}

TEST(TextMeasure, FixedWidthsAndAccelerators) {
  EXPECT_EQ(MeasureText(""), 0);
  EXPECT_EQ(MeasureText("il"), 4);
  EXPECT_EQ(MeasureText("ab"), 10);
  EXPECT_EQ(MeasureText("A W"), 6 + 3 + 8);
  EXPECT_EQ(MeasureText("&Ok"), MeasureText("Ok"));
  EXPECT_EQ(MeasureText("a&&b"), 5 + 6 + 5);
  // The English refusal: 31 characters.
  EXPECT_EQ(MeasureText("The selected path is not valid."), 125);
}

}  // namespace
}  // namespace qr5::pages
