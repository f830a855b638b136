#include "lang/strip_trailing_backslash.h"
#include "pages/form_step4.h"

#include "pages/dlg_browse_install_path.h"
#include "pages/dlg_error.h"
#include "pages/page_frame.h"
#include "pages/path_validation.h"
#include "pages/product_folder.h"
#include "platform/platform.h"
#include "session/session_state.h"

namespace qr5::pages {

TFormStep4* FormStep4 = nullptr;

namespace {
constexpr char kDefaultInstallDir[] = "C:\\QR5";
}

int64_t DriveFreeSpace(const std::string& path) {
  if (path.empty()) return -1;
  char letter = path[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return -1;  // no drive number 1..26
  platform::FileSystem& fs = *platform::Sys().files;
  const uint32_t old_mode = fs.SetErrorMode(platform::SEM_FAILCRITICALERRORS);
  int64_t free_bytes = 0;
  const bool ok = fs.GetDiskFreeSpace(std::string(1, letter) + ":\\", &free_bytes);
  fs.SetErrorMode(old_mode);
  return ok ? free_bytes : -1;
}

bool DriveThere(const std::string& path) {
  platform::FileSystem& fs = *platform::Sys().files;
  const uint32_t old_mode = fs.SetErrorMode(platform::SEM_FAILCRITICALERRORS);
  const uint32_t attributes = fs.GetFileAttributes(path.substr(0, 2) + "\\");
  fs.SetErrorMode(old_mode);
  return attributes != platform::INVALID_FILE_ATTRIBUTES;
}

TFormStep4::TFormStep4() : forms::Form("TFormStep4") {
  SetUpPageWindow(*this);
  AddHeaderBand(*this, 10, 26);
  forms::Control picture = MakeControl("Image2", forms::ControlKind::kImage, 39, 72, 34, 29);
  picture.picture = "folder";
  Add(std::move(picture));
  AddLabel(*this, "Label1", 84, 81, 373, 17);
  AddLabel(*this, "Label2", 41, 116, 418, 14);
  AddLabel(*this, "Label3", 40, 288, 417, 13);

  // Tab order: NextButton, CancelButton, BrowseButton, BackButton,
  // LabelSelectedFolder.
  forms::Control& next = AddButton(*this, "NextButton", kNextButtonLeft, kButtonRowTop, forms::mrOk);
  next.is_default = true;
  next.on_click = [this] { NextButtonClick(); };
  forms::Control& cancel =
      AddButton(*this, "CancelButton", kCancelButtonLeft, kButtonRowTop, forms::mrCancel);
  cancel.is_cancel = true;
  cancel.on_click = [this] { CancelButtonClick(); };
  AddButton(*this, "BrowseButton", 386, 137, forms::mrNone).on_click = [this] {
    BrowseButtonClick();
  };
  AddButton(*this, "BackButton", kBackButtonLeft, kButtonRowTop, forms::mrBack).on_click = [this] {
    BackButtonClick();
  };
  // A read-only field with a sunken border: a tab stop whose text can be
  // selected and scrolled to its end, never typed into.
  forms::Control folder =
      MakeControl("LabelSelectedFolder", forms::ControlKind::kEdit, 40, 140, 336, 17);
  folder.read_only = true;
  folder.tab_stop = true;
  Add(std::move(folder));
}

void TFormStep4::FormShow() {
  session::SessionState& session = session::Session();
  const lang::TIniFile file = ChosenLanguageFile();
  caption = InstallerText(file, key::kCaption);
  LoadInstallerText(*this, file, "TitleLabel1", key::kDestinationTitle);
  LoadInstallerText(*this, file, "TitleLabel2", key::kDestinationSubtitle);
  LoadInstallerText(*this, file, "Label1", key::kDestinationPrompt);
  LoadInstallerText(*this, file, "Label2", key::kDestinationBrowseHint);
  LoadInstallerText(*this, file, "Label3", key::kDestinationSpaceNeeded);

  const int megabytes = file.ReadInteger(lang::kInstallerSection, key::kDestinationMegabytes.Name(), 0);
  required_free_space_ = static_cast<int64_t>(megabytes) * kSpaceUnitBytes;

  LoadInstallerText(*this, file, "NextButton", key::kNextButton);
  LoadInstallerText(*this, file, "BackButton", key::kBackButton);
  LoadInstallerText(*this, file, "CancelButton", key::kCancelButton);

  // The recorded or default folder at every showing: a folder chosen
  // through Browse does not survive Back.
  forms::Control& folder = Get("LabelSelectedFolder");
  // A folder given on the command line comes first.
  folder.text = session.Command.dir_given              ? session.Command.dir
                : session.PreviousInstallPath.empty() ? std::string(kDefaultInstallDir)
                                                       : session.PreviousInstallPath;
  session.InstallDir = folder.text;

  LoadInstallerText(*this, file, "BrowseButton", key::kBrowseButton);

  error_caption_ = InstallerText(file, key::kErrorCaption);
  error_button_ = InstallerText(file, key::kOkButton);
  error_message_ = InstallerText(file, key::kDestinationSpaceNeeded);
  path_error_message_ = InstallerText(file, key::kBrowseInvalidPath);
  if (DlgError != nullptr) DlgError->SetTexts(error_caption_, error_button_, error_message_);

  space_check_failed_ = false;
  path_check_failed_ = false;
  confirm_close_ = true;
  SetFocus("NextButton");
}

void TFormStep4::FormClose(forms::CloseAction& action) {
  if (!RunExitConfirmation(*this, confirm_close_, action)) return;
  if (modal_result == forms::mrCancel) return;
  if (path_check_failed_) {
    path_check_failed_ = false;
    ShowPathError();
    action = forms::CloseAction::kNone;
  } else if (space_check_failed_) {
    space_check_failed_ = false;
    ShowSpaceError();
    action = forms::CloseAction::kNone;
  }
}

void TFormStep4::NextButtonClick() {
  confirm_close_ = false;
  const std::string& folder = Get("LabelSelectedFolder").text;
  if (folder.empty()) return;
  // A recorded folder below what is now a file, or on a drive that is not
  // there (or holds no disk): refused as the browse dialog refuses a typed
  // one, not left to fail every file at the end.
  path_check_failed_ = folder.size() >= 3 && folder[1] == ':' && (!DriveThere(folder) || PathRunsThroughFile(folder));
  const int64_t free_bytes = DriveFreeSpace(folder);
  space_check_failed_ = false;
  // Space that cannot be determined does not hold the user back.
  if (free_bytes != -1 && free_bytes < required_free_space_) space_check_failed_ = true;
}

void TFormStep4::BackButtonClick() { confirm_close_ = false; }

void TFormStep4::CancelButtonClick() { confirm_close_ = true; }

void TFormStep4::BrowseButtonClick() {
  session::SessionState& session = session::Session();
  const size_t p = LastPosNoCase(session.ProductFolder, session.InstallDir);
  if (p > 0) DlgBrowseInstallPath->MoveTreeTo(session.InstallDir.substr(0, p - 1), true);
  if (DlgBrowseInstallPath->ShowModal() != forms::mrOk) return;
  const std::string chosen = DlgBrowseInstallPath->SelectedFolder();
  if (chosen.empty()) return;  // nothing selected: keep the folder shown
  session.InstallDir = lang::StripTrailingBackslash(chosen) + session.ProductFolder;
  Get("LabelSelectedFolder").text = session.InstallDir;
  Changed();
}

void TFormStep4::ShowPathError() {
  if (DlgError == nullptr) return;
  DlgError->SetTexts(error_caption_, error_button_, path_error_message_);
  DlgError->ShowModal();
}

void TFormStep4::ShowSpaceError() {
  if (DlgError == nullptr) return;
  DlgError->SetTexts(error_caption_, error_button_, error_message_);
  DlgError->ShowModal();
}

}  // namespace qr5::pages
