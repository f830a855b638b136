#include "pages/form_step6.h"

#include <exception>

#include "forms/application.h"
#include "install/install_outcome.h"
#include "install/program_group.h"
#include "install/shell_folders.h"
#include "install/shell_link.h"
#include "install/suite_text.h"
#include "lang/setup_keys.h"
#include "pages/page_frame.h"
#include "session/session_state.h"

namespace qr5::pages {

TFormStep6* FormStep6 = nullptr;

namespace {

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
  caption = InstallerText(file, key::kCaption);
  LoadInstallerText(*this, file, "LabelFinishTitle", key::kFinishTitle);
  LoadInstallerText(*this, file, "Label1", key::kFinishLine1);
  LoadInstallerText(*this, file, "Label2", key::kFinishLine2);
  LoadInstallerText(*this, file, "CBStartup", key::kFinishStartup);
  LoadInstallerText(*this, file, "CBDesktop", key::kFinishDesktop);
  LoadInstallerText(*this, file, "FinishButton", key::kFinishButton);
  // Both on, unless the command line asked for no shortcuts.
  const bool wanted = !session::Session().Command.no_icons;
  Get("CBStartup").checked = wanted;
  Get("CBDesktop").checked = wanted;
  SetFocus("FinishButton");
}

void TFormStep6::FinishButtonClick() {
  const std::string& dir = session::Session().InstallDir;
  // The click has set the OK result already; a shortcut that cannot be made
  // is told in one message, and the page still closes.
  session::Session().Shortfall = session::InstallShortfall();
  try {
    if (Get("CBStartup").checked) {
      install::CreateShellLink(dir + "\\HERALDO.EXE", install::SuiteText(lang::kStartupCaptionKey),
                               install::sfStartUp, install::kGroupSubPath);
    }
    if (Get("CBDesktop").checked) {
      install::CreateShellLink(dir + "\\QR5.EXE", install::SuiteText(lang::kDesktopCaptionKey),
                               install::sfDesktop, install::kGroupSubPath);
    }
  } catch (const std::exception& e) {
    forms::App().HandleException(e);
    return;
  }
  install::ReportShortfall();
}

}  // namespace qr5::pages
