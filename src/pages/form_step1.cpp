#include "pages/form_step1.h"

#include <memory>

#include "forms/application.h"
#include "forms/wizard_frame.h"
#include "install/registry_records.h"
#include "lang/ini_file.h"
#include "lang/installed_language_name.h"
#include "lang/language_codes.h"
#include "lang/setup_keys.h"
#include "platform/platform.h"
#include "session/session_state.h"

namespace qr5::pages {

TFormStep1* FormStep1 = nullptr;

namespace {

// Every attribute a search admits: read-only, hidden, system, volume label,
// directory and archive.
constexpr uint32_t kAnyFile = 63;

forms::Control& AddImage(forms::Form& form) {
  forms::Control image = forms::MakeControl("Image1", forms::ControlKind::kImage, 8, 8, 32, 33);
  image.picture = "language";
  return form.Add(std::move(image));
}

forms::Control& AddLabel(forms::Form& form) {
  forms::Control& label = forms::AddLabel(form, "LabelSelectLanguage", 48, 8, 241, 33);
  label.text = "Select the language to use during the installation:";
  return label;
}

forms::Control& AddCombo(forms::Form& form) {
  forms::Control combo = forms::MakeControl("LangCombo", forms::ControlKind::kComboBox, 48, 50, 241, 21);
  combo.tab_stop = true;
  return form.Add(std::move(combo));
}

// The dialog's buttons stand two pixels taller than a wizard page's.
forms::Control& AddButton(forms::Form& form, const char* name, const char* text, int left,
                          int modal_result) {
  forms::Control& button = forms::AddButton(form, name, left, 90, modal_result);
  button.text = text;
  button.height = 25;
  button.is_default = modal_result == forms::mrOk;
  button.is_cancel = modal_result == forms::mrCancel;
  return button;
}

}  // namespace

TFormStep1::TFormStep1()
    : forms::Form("TFormStep1"),
      LangCombo(AddCombo(*this)),
      LabelSelectLanguage(AddLabel(*this)),
      OKButton(AddButton(*this, "OKButton", "OK", 134, forms::mrOk)),
      CancelButton(AddButton(*this, "CancelButton", "Cancel", 214, forms::mrCancel)),
      Image1(AddImage(*this)) {
  caption = "Select Setup Language";
  client_width = 297;
  client_height = 125;
  border = forms::BorderStyle::kDialog;
  minimize_box = false;
  centred = true;
  OKButton.on_click = [this] { OKButtonClick(); };
  CancelButton.on_click = [this] { CancelButtonClick(); };
  active_control = &LangCombo;
}

void TFormStep1::FormShow() { LoadLanguageList(); }

void TFormStep1::LoadLanguageList() {
  session::SessionState& session = session::Session();
  LangCombo.items.clear();
  LangCombo.item_index = -1;
  LangCombo.text.clear();
  int count = 0;
  int preselected = -1;

  session.PreviousLanguage = install::ReadRegLanguage();
  session.PreviousInstallPath = install::ReadRegInstallPath();

  std::unique_ptr<platform::FileSearch> search =
      platform::Sys().files->FindFirst(session.TempDir + "LANGUAGE.*", kAnyFile);
  for (bool found = search != nullptr; found; found = search->Next()) {
    const std::string path = session.TempDir + search->Current().name;
    const std::string name = lang::TIniFile(path).ReadString(lang::kSetupSection,
                                                              lang::kLanguageKey, "");
    if (name.empty()) continue;
    LangCombo.items.push_back(name);
    const int index = count++;
    // The system language picks the first entry that matches it ...
    if (preselected == -1 && name == lang::LangConvertToQuorlin5(lang::GetInstalledLanguageName())) {
      preselected = index;
      LoadPageTexts(path);
    }
    // ... but the language of the previous installation wins, last match.
    if (!session.PreviousLanguage.empty() && name == session.PreviousLanguage) {
      preselected = index;
      LoadPageTexts(path);
    }
  }

  if (preselected != -1) {
    LangCombo.item_index = preselected;
    LangCombo.text = LangCombo.items[static_cast<size_t>(preselected)];
  }
  Changed();
}

void TFormStep1::LoadPageTexts(const std::string& language_file) {
  const lang::TIniFile ini(language_file);
  caption = ini.ReadString(lang::kSetupSection, lang::kPageCaptionKey, "");
  LabelSelectLanguage.text = ini.ReadString(lang::kSetupSection, lang::kPagePromptKey, "");
  OKButton.text = ini.ReadString(lang::kSetupSection, lang::kPageOkKey, "");
  CancelButton.text = ini.ReadString(lang::kSetupSection, lang::kPageCancelKey, "");
}

void TFormStep1::OKButtonClick() {
  session::SessionState& session = session::Session();
  const int index = LangCombo.item_index;
  session.LanguageName = index >= 0 && static_cast<size_t>(index) < LangCombo.items.size()
                             ? LangCombo.items[static_cast<size_t>(index)]
                             : std::string();
  session.LanguageExt = lang::LangQR5ConvertToExtension(session.LanguageName);
  session.LanguageFilePath = session.TempDir + "LANGUAGE" + session.LanguageExt;
}

void TFormStep1::CancelButtonClick() {
  // Leaving the language page ends the setup once the driver returns.
  if (forms::Form* main = forms::App().MainForm(); main != nullptr) main->Close();
}

}  // namespace qr5::pages
