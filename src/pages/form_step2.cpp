#include "pages/form_step2.h"

#include "pages/page_frame.h"

namespace qr5::pages {

TFormStep2* FormStep2 = nullptr;

TFormStep2::TFormStep2() : forms::Form("TFormStep2") {
  SetUpPageWindow(*this);
  AddWelcomeBackground(*this);
  forms::Control logo = MakeControl("Image2", forms::ControlKind::kImage, 86, 17, 61, 61);
  logo.picture = "setup-logo";
  Add(std::move(logo));
  AddLabel(*this, "LabelWelcomeTitle", 176, 19, 302, 54, forms::FontStyle::kTitle);
  AddLabel(*this, "LabelCaption1", 176, 80, 302, 27);
  AddLabel(*this, "LabelCaption2", 176, 116, 302, 27);
  AddLabel(*this, "LabelCaption3", 176, 161, 302, 27);
  forms::Control& next = AddButton(*this, "NextButton", kNextButtonLeft, kButtonRowTop, forms::mrOk);
  next.is_default = true;
  next.on_click = [this] { NextButtonClick(); };
  AddButton(*this, "CancelButton", kCancelButtonLeft, kButtonRowTop, forms::mrCancel).is_cancel =
      true;
}

void TFormStep2::FormShow() {
  const lang::TIniFile file = ChosenLanguageFile();
  caption = InstallerText(file, key::kCaption);
  LoadInstallerText(*this, file, "LabelWelcomeTitle", key::kWelcomeTitle);
  LoadInstallerText(*this, file, "LabelCaption1", key::kWelcomeLine1);
  LoadInstallerText(*this, file, "LabelCaption2", key::kWelcomeLine2);
  LoadInstallerText(*this, file, "LabelCaption3", key::kWelcomeLine3);
  LoadInstallerText(*this, file, "NextButton", key::kNextButton);
  // The language page's Cancel text, not [Installer] "CancelButton".
  Get("CancelButton").text = file.ReadString(lang::kSetupSection, lang::kPageCancelKey, "");
  confirm_close_ = true;
  SetFocus("NextButton");
}

void TFormStep2::FormClose(forms::CloseAction& action) {
  RunExitConfirmation(*this, confirm_close_, action);
}

void TFormStep2::NextButtonClick() { confirm_close_ = false; }

}  // namespace qr5::pages
