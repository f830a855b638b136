#include "pages/page_frame.h"

#include "pages/form_exit_setup.h"
#include "session/session_state.h"

namespace qr5::pages {

lang::TIniFile ChosenLanguageFile() { return lang::TIniFile(session::Session().LanguageFilePath); }

std::string InstallerText(const lang::TIniFile& file, lang::InstallerKey key) {
  return file.ReadString(lang::kInstallerSection, key.Name(), "");
}

void LoadInstallerText(forms::Form& form, const lang::TIniFile& file, const std::string& control,
                       lang::InstallerKey key) {
  form.Get(control).text = InstallerText(file, key);
}

bool ConfirmExitSetup() { return FormExitSetup->ShowModal() == forms::mrYes; }

bool RunExitConfirmation(forms::Form& page, bool& confirm, forms::CloseAction& action) {
  const bool ask = confirm;
  // Next and Back release the confirmation only for the close they cause;
  // any later close asks again, also after this one is withdrawn.
  confirm = true;
  if (!ask) return true;
  if (ConfirmExitSetup()) {
    page.modal_result = forms::mrCancel;
    return true;
  }
  action = forms::CloseAction::kNone;
  return false;
}

}  // namespace qr5::pages
