#include "lang/strip_trailing_backslash.h"
#include "pages/dlg_browse_install_path.h"

#include "pages/dlg_error.h"
#include "pages/page_frame.h"
#include "pages/path_validation.h"
#include "pages/product_folder.h"
#include "pages/text_measure.h"
#include "session/session_state.h"

namespace qr5::pages {

TDlgBrowseInstallPath* DlgBrowseInstallPath = nullptr;

TDlgBrowseInstallPath::TDlgBrowseInstallPath() : forms::Form("TDlgBrowseInstallPath") {
  client_width = 347;
  client_height = 336;
  border = forms::BorderStyle::kDialog;
  system_menu = true;
  minimize_box = false;
  close_box = true;
  centred = true;

  Add(MakeControl("Label1", forms::ControlKind::kLabel, 14, 12, 0, kLineHeight));

  // Tab order: FolderTreeView1, BtnOk, BtnCancel, Edit1.
  forms::Control tree =
      MakeControl("FolderTreeView1", forms::ControlKind::kTreeView, 16, 64, 318, 228);
  tree.tab_stop = true;
  Add(std::move(tree));
  forms::Control& ok = AddButton(*this, "BtnOk", 179, 305, forms::mrOk);
  ok.is_default = true;
  ok.on_click = [this] { BtnOkClick(); };
  AddButton(*this, "BtnCancel", 260, 305, forms::mrCancel).is_cancel = true;
  forms::Control edit = MakeControl("Edit1", forms::ControlKind::kEdit, 16, 36, 317, 21);
  edit.tab_stop = true;
  edit.on_exit = [this] { Edit1Exit(); };
  Add(std::move(edit));

  tree_.on_change = [this] { FolderTreeView1Change(); };
}

void TDlgBrowseInstallPath::FormShow() {
  in_form_show_ = true;
  const lang::TIniFile file = ChosenLanguageFile();
  caption = InstallerText(file, key::kBrowseCaption);
  forms::Control& label = Get("Label1");
  label.text = InstallerText(file, key::kBrowsePrompt);
  label.width = MeasureText(label.text);
  LoadInstallerText(*this, file, "BtnOk", key::kOkButton);
  LoadInstallerText(*this, file, "BtnCancel", key::kCancelButton);
  error_caption_ = InstallerText(file, key::kErrorCaption);
  error_button_ = InstallerText(file, key::kOkButton);
  error_message_ = InstallerText(file, key::kBrowseInvalidPath);
  if (DlgError != nullptr) DlgError->SetTexts(error_caption_, error_button_, error_message_);
  ShowTree();
  SetFocus("FolderTreeView1");
  in_form_show_ = false;
}

void TDlgBrowseInstallPath::FolderTreeView1Change() {
  Get("Edit1").text =
      lang::StripTrailingBackslash(tree_.SelectedFolder()) + session::Session().ProductFolder;
  ShowTree();
}

void TDlgBrowseInstallPath::Edit1Exit() {
  if (in_form_show_) return;
  const forms::Control* to = active_control;
  // Nothing is validated on the way to Cancel or while the dialog is being
  // cancelled; on the way to OK the click that follows validates.
  if (modal_result == forms::mrCancel) return;
  if (to != nullptr && (to->name == "BtnCancel" || to->name == "BtnOk")) return;
  TakeTypedFolder();
}

void TDlgBrowseInstallPath::BtnOkClick() {
  // The click has already set the OK result; a refused folder withdraws it
  // so the dialog stays open.
  if (!TakeTypedFolder()) modal_result = forms::mrNone;
}

bool TDlgBrowseInstallPath::IsValidDirectory(forms::Control& field) {
  return pages::IsValidDirectory(field.text);
}

bool TDlgBrowseInstallPath::TakeTypedFolder() {
  forms::Control& edit = Get("Edit1");
  if (!IsValidDirectory(edit)) {
    Changed();
    ShowPathError();
    SetFocus("Edit1");
    return false;
  }
  const std::string& product = session::Session().ProductFolder;
  const std::string typed = edit.text;
  const size_t p = LastPosNoCase(product, typed);
  std::string parent;
  if (p > 0) {
    // Anything after the last product folder is dropped.
    parent = lang::StripTrailingBackslash(typed.substr(0, p - 1));
  } else {
    parent = lang::StripTrailingBackslash(typed);
  }
  // Folders that do not exist yet get entries in both cases, so that what
  // OK gives is what the field shows.
  tree_.MoveTo(parent, true);
  tree_.MoveTo(parent, false);
  edit.text = parent + product;
  ShowTree();
  Changed();
  return true;
}

void TDlgBrowseInstallPath::ShowPathError() {
  if (DlgError == nullptr) return;
  DlgError->SetTexts(error_caption_, error_button_, error_message_);
  DlgError->ShowModal();
}

void TDlgBrowseInstallPath::MoveTreeTo(const std::string& path, bool add_missing) {
  tree_.MoveTo(path, add_missing);
  ShowTree();
  Changed();
}

void TDlgBrowseInstallPath::ShowTree() {
  forms::Control& control = Get("FolderTreeView1");
  control.text = tree_.SelectedFolder();
  control.items.clear();
  control.tree.clear();
  control.item_index = -1;
  for (FolderNode* node : tree_.VisibleNodes()) {
    if (node == tree_.Selected()) control.item_index = static_cast<int>(control.items.size());
    control.items.push_back(FolderTree::DisplayLine(*node));
    forms::TreeEntry entry;
    entry.depth = node->Depth();
    entry.name = node->name;
    entry.path = node->Path();
    entry.expanded = node->expanded;
    entry.may_have_children = !node->children_read || !node->children.empty();
    entry.is_new = node->is_new;
    control.tree.push_back(std::move(entry));
  }
}

bool TDlgBrowseInstallPath::SelectPath(const std::string& control_name,
                                       const std::string& path) {
  if (control_name != "FolderTreeView1") return false;
  // Pointing at the tree takes the focus first; a refused typed folder pulls
  // it back into the path field and the pick is lost.
  Focus("FolderTreeView1");
  if (active_control != Find("FolderTreeView1")) return false;
  FolderNode* node = tree_.Find(path);
  if (node == nullptr) return false;
  // Selecting opens nothing (as in Windows' folder trees): only Right, "+"
  // or the entry's button read a folder's subfolders.
  if (node == tree_.Selected()) return true;
  tree_.Select(node);
  ShowTree();
  Changed();
  return true;
}

bool TDlgBrowseInstallPath::ExpandPath(const std::string& control_name, const std::string& path,
                                       bool expand) {
  if (control_name != "FolderTreeView1") return false;
  FolderNode* node = tree_.Find(path);
  if (node == nullptr) return false;
  if (expand)
    tree_.Expand(*node);
  else
    tree_.Collapse(*node);
  ShowTree();
  Changed();
  return true;
}

}  // namespace qr5::pages
