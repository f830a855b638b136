#include "pages/form_step3.h"

#include "forms/application.h"
#include "pages/page_frame.h"
#include "pages/text_file_lines.h"
#include "platform/error.h"
#include "session/session_state.h"

namespace qr5::pages {

TFormStep3* FormStep3 = nullptr;

namespace {
constexpr int kRadioGroup = 1;
}

TFormStep3::TFormStep3() : forms::Form("TFormStep3") {
  SetUpPageWindow(*this);
  AddHeaderBand(*this, 10, 26);
  AddLabel(*this, "Label1", 40, 72, 410, 27);

  // Tab order: NextButton, CancelButton, Memo1, RBAccept, RBDontAccept,
  // BackButton.
  forms::Control& next = AddButton(*this, "NextButton", kNextButtonLeft, kButtonRowTop, forms::mrOk);
  next.is_default = true;
  next.on_click = [this] { NextButtonClick(); };
  AddButton(*this, "CancelButton", kCancelButtonLeft, kButtonRowTop, forms::mrCancel).is_cancel =
      true;

  forms::Control memo = MakeControl("Memo1", forms::ControlKind::kMemo, 40, 109, 413, 148);
  memo.word_wrap = true;  // long paragraphs wrap; only a vertical scroll bar
  memo.tab_stop = true;
  Add(std::move(memo));

  forms::Control accept = MakeControl("RBAccept", forms::ControlKind::kRadioButton, 40, 268, 413, 17);
  accept.group = kRadioGroup;
  accept.tab_stop = true;
  accept.checked = true;
  accept.on_click = [this] { RBAcceptClick(); };
  Add(std::move(accept));
  forms::Control refuse =
      MakeControl("RBDontAccept", forms::ControlKind::kRadioButton, 40, 288, 413, 17);
  refuse.group = kRadioGroup;
  refuse.tab_stop = true;
  refuse.on_click = [this] { RBDontAcceptClick(); };
  Add(std::move(refuse));

  AddButton(*this, "BackButton", kBackButtonLeft, kButtonRowTop, forms::mrBack).on_click = [this] {
    BackButtonClick();
  };
}

void TFormStep3::FormShow() {
  const lang::TIniFile file = ChosenLanguageFile();
  caption = InstallerText(file, key::kCaption);
  LoadInstallerText(*this, file, "TitleLabel1", key::kLicenseTitle);
  LoadInstallerText(*this, file, "TitleLabel2", key::kLicenseSubtitle);
  LoadInstallerText(*this, file, "Label1", key::kLicensePrompt);
  LoadInstallerText(*this, file, "RBAccept", key::kLicenseAccept);
  LoadInstallerText(*this, file, "RBDontAccept", key::kLicenseRefuse);
  LoadInstallerText(*this, file, "NextButton", key::kNextButton);
  LoadInstallerText(*this, file, "BackButton", key::kBackButton);
  LoadInstallerText(*this, file, "CancelButton", key::kCancelButton);

  LoadLicense();

  // Also after a license file that could not be read, the page opens as on
  // every other showing: confirmation armed, agreement accepted, Next
  // focused.
  confirm_close_ = true;
  Get("RBDontAccept").checked = false;
  Get("RBAccept").checked = true;
  RBAcceptClick();
  SetFocus("NextButton");
}

void TFormStep3::LoadLicense() {
  const session::SessionState& session = session::Session();
  std::vector<std::string>& memo = Get("Memo1").items;
  memo.clear();
  const uint32_t error =
      ReadTextFileLines(session.TempDir + "LICENSE" + session.LanguageExt, &memo);
  if (error != 0) {
    forms::App().HandleException(Error(InOutErrorText(error)));
  }
}

void TFormStep3::FormClose(forms::CloseAction& action) {
  RunExitConfirmation(*this, confirm_close_, action);
}

void TFormStep3::NextButtonClick() { confirm_close_ = false; }

void TFormStep3::BackButtonClick() { confirm_close_ = false; }

void TFormStep3::RBAcceptClick() {
  Get("NextButton").enabled = true;
  Changed();
}

void TFormStep3::RBDontAcceptClick() {
  Get("NextButton").enabled = false;
  Changed();
}

}  // namespace qr5::pages
