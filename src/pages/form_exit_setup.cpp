#include "pages/form_exit_setup.h"

#include "pages/page_frame.h"

namespace qr5::pages {

TFormExitSetup* FormExitSetup = nullptr;

TFormExitSetup::TFormExitSetup() : forms::Form("TFormExitSetup") {
  client_width = 463;
  client_height = 125;
  border = forms::BorderStyle::kDialog;
  system_menu = true;  // only for the close box
  minimize_box = false;
  close_box = true;
  centred = true;

  forms::Control picture = MakeControl("Image1", forms::ControlKind::kImage, 10, 13, 34, 34);
  picture.picture = "question";
  Add(std::move(picture));
  AddLabel(*this, "Label1", 63, 13, 386, 13);
  AddLabel(*this, "Label2", 63, 38, 386, 13);
  AddLabel(*this, "Label3", 63, 64, 386, 13);
  AddButton(*this, "YesButton", 153, 92, forms::mrYes);
  // The default button; there is no cancel button, so Escape does nothing.
  AddButton(*this, "NoButton", 234, 92, forms::mrNo).is_default = true;
}

void TFormExitSetup::FormShow() {
  const lang::TIniFile file = ChosenLanguageFile();
  caption = InstallerText(file, key::kExitCaption);
  LoadInstallerText(*this, file, "Label1", key::kExitLine1);
  LoadInstallerText(*this, file, "Label2", key::kExitLine2);
  LoadInstallerText(*this, file, "Label3", key::kExitLine3);
  LoadInstallerText(*this, file, "YesButton", key::kYesButton);
  LoadInstallerText(*this, file, "NoButton", key::kNoButton);
  SetFocus("NoButton");
}

}  // namespace qr5::pages
