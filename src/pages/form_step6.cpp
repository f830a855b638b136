#include "pages/form_step6.h"

#include <exception>

#include "forms/application.h"
#include "app/session_state.h"
#include "install/shell_folders.h"
#include "install/shell_link.h"
#include "pages/page_frame.h"

namespace qr5::pages {

TFormStep6* FormStep6 = nullptr;

namespace {

// The program group's sub-path; the Startup folder and the desktop ignore it.
constexpr char kGroupSubPath[] = "\\Quorlin 5";

std::string SuiteText(const std::string& key, const std::string& default_text) {
  const auto& texts = app::Session().SuiteTexts;
  const auto it = texts.find(key);
  return it == texts.end() ? default_text : it->second;
}

forms::Control& AddCheckBox(forms::Form& form, const std::string& name, int top) {
  forms::Control box = MakeControl(name, forms::ControlKind::kCheckBox, 176, top, 265, 17);
  box.tab_stop = true;
  box.checked = true;
  return form.Add(std::move(box));
}

}  // namespace

TFormStep6::TFormStep6() : forms::Form("TFormStep6") {
  SetUpPageWindow(*this);
  AddWelcomeBackground(*this);
  forms::Control logo = MakeControl("Image2", forms::ControlKind::kImage, 86, 17, 61, 61);
  logo.picture = "setup-logo";
  Add(std::move(logo));
  AddLabel(*this, "LabelFinishTitle", 176, 19, 302, 54, forms::FontStyle::kTitle);
  AddLabel(*this, "Label1", 176, 80, 302, 27);
  AddLabel(*this, "Label2", 176, 116, 302, 27);
  AddCheckBox(*this, "CBStartup", 172);
  AddCheckBox(*this, "CBDesktop", 194);
  // The only button: it answers Enter; nothing answers Escape.
  forms::Control& finish =
      AddButton(*this, "FinishButton", kNextButtonLeft, kButtonRowTop, forms::mrOk);
  finish.is_default = true;
  finish.on_click = [this] { FinishButtonClick(); };
}

void TFormStep6::FormShow() {
  const lang::TIniFile file = ChosenLanguageFile();
  caption = InstallerText(file, "Caption");
  LoadInstallerText(*this, file, "LabelFinishTitle", "6_001");
  LoadInstallerText(*this, file, "Label1", "6_002");
  LoadInstallerText(*this, file, "Label2", "6_003");
  LoadInstallerText(*this, file, "CBStartup", "6_004");
  LoadInstallerText(*this, file, "CBDesktop", "6_005");
  LoadInstallerText(*this, file, "FinishButton", "FinishButton");
  Get("CBStartup").checked = true;
  Get("CBDesktop").checked = true;
  SetFocus("FinishButton");
}

void TFormStep6::FinishButtonClick() {
  const std::string& dir = app::Session().RecordedInstallDir;
  // The click has set the OK result already; a failure to create a shortcut
  // is shown and the page still closes.
  try {
    if (Get("CBStartup").checked) {
      install::CreateShellLink(dir + "\\HERALDO.EXE", SuiteText("009", "Heraldo"),
                               install::sfStartUp, kGroupSubPath);
    }
    if (Get("CBDesktop").checked) {
      install::CreateShellLink(dir + "\\QR5.EXE", SuiteText("001", "Quorlin 5"),
                               install::sfDesktop, kGroupSubPath);
    }
  } catch (const std::exception& e) {
    forms::App().HandleException(e);
  }
}

}  // namespace qr5::pages
