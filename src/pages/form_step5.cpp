#include "pages/form_step5.h"

#include <algorithm>

#include "pages/page_frame.h"

namespace qr5::pages {

TFormStep5* FormStep5 = nullptr;

TFormStep5::TFormStep5() : forms::Form("TFormStep5") {
  SetUpPageWindow(*this);
  system_menu = false;  // so the title bar has no close box
  close_box = false;
  minimize_box = false;
  // The titles stand one pixel higher than on the other header pages.
  AddHeaderBand(*this, 9, 25);
  AddLabel(*this, "Label1", 44, 96, 373, 17);
  AddLabel(*this, "Label2", 44, 115, 418, 14);
  forms::Control bar =
      MakeControl("SCProgress1", forms::ControlKind::kProgressBar, 40, 139, 417, 21);
  bar.position = 0;
  bar.picture = "scpsRaised";
  Add(std::move(bar));
  forms::Control& cancel =
      AddButton(*this, "CancelButton", kCancelButtonLeft, kButtonRowTop, forms::mrCancel);
  cancel.is_cancel = true;
  cancel.enabled = false;  // never enabled: it only shows the translated word
  FormCreate();
}

void TFormStep5::FormCreate() { key_preview = true; }

void TFormStep5::FormShow() {
  // The bar and Label2 are left as the last extraction pass set them.
  const lang::TIniFile file = ChosenLanguageFile();
  caption = InstallerText(file, key::kCaption);
  LoadInstallerText(*this, file, "TitleLabel1", key::kProgressTitle);
  LoadInstallerText(*this, file, "TitleLabel2", key::kProgressSubtitle);
  LoadInstallerText(*this, file, "Label1", key::kProgressPrompt);
  LoadInstallerText(*this, file, "CancelButton", key::kCancelButton);
}

void TFormStep5::FormKeyDown(forms::Key key, forms::ShiftState shift, bool& swallow) {
  if (shift.alt && key == forms::Key::kF4) swallow = true;
}

void TFormStep5::SetProgressPosition(int percent) {
  Get("SCProgress1").position = std::clamp(percent, 0, 100);
  Changed();
}

void TFormStep5::ShowFileName(const std::string& path) {
  Get("Label2").text = path;
  Changed();
}

}  // namespace qr5::pages
