// TDlgBrowseInstallPath: the folder browse dialog. The user picks the parent
// folder of the installation in the tree or types it; the dialog always
// shows it with the product folder ("\QR5") appended. OK (1) takes a typed
// folder only after it has passed the path rules; Cancel gives 2.
#pragma once

#include <string>

#include "forms/form.h"
#include "pages/folder_tree.h"

namespace qr5::pages {

class TDlgBrowseInstallPath : public forms::Form {
 public:
  TDlgBrowseInstallPath();

  void FormShow() override;
  // The user picked the tree entry of a full path (C:\Apps): it is
  // selected and opened.
  bool SelectPath(const std::string& control_name, const std::string& path) override;
  // The user opened or closed the tree entry of a full path.
  bool ExpandPath(const std::string& control_name, const std::string& path,
                  bool expand) override;
  void FolderTreeView1Change();
  void Edit1Exit();
  void BtnOkClick();
  // Validates and normalises the field's text in place.
  bool IsValidDirectory(forms::Control& field);

  // Moves the tree to a folder (C: or C:\Apps), adding entries for folders
  // that do not exist yet when add_missing is set; the path field follows.
  void MoveTreeTo(const std::string& path, bool add_missing);
  // The folder selected in the tree; empty when nothing is selected.
  std::string SelectedFolder() const { return tree_.SelectedFolder(); }
  FolderTree& Tree() { return tree_; }

 private:
  // Steps shared by leaving the field and OK: validate, then place the tree
  // on the parent folder and show it with the product folder. False when
  // the text was refused (the error has been shown).
  bool TakeTypedFolder();
  void ShowPathError();
  // Puts the tree's visible entries on FolderTreeView1 (its entries, their
  // lines as items, the selected one as item_index and its path as text);
  // callers repaint.
  void ShowTree();

  FolderTree tree_;
  std::string error_caption_, error_button_, error_message_;
  bool in_form_show_ = false;
};

// Created once at start-up, kept until the process ends.
extern TDlgBrowseInstallPath* DlgBrowseInstallPath;

}  // namespace qr5::pages
