// The frame shared by the setup's wizard pages: the common look (see
// forms/wizard_frame.h), text loading from the chosen language file, and the
// exit confirmation asked before a page is left.
#pragma once

#include <string>

#include "forms/form.h"
#include "forms/wizard_frame.h"
#include "lang/ini_file.h"
#include "lang/installer_keys.h"

namespace qr5::pages {

// The frame's geometry and layouts, shared with the uninstaller.
using forms::AddButton;
using forms::AddHeaderBand;
using forms::AddLabel;
using forms::AddWelcomeBackground;
using forms::kBackButtonLeft;
using forms::kButtonHeight;
using forms::kButtonRowTop;
using forms::kButtonWidth;
using forms::kCancelButtonLeft;
using forms::kDividerTop;
using forms::kHeaderBandHeight;
using forms::kNextButtonLeft;
using forms::kPageClientHeight;
using forms::kPageClientWidth;
using forms::MakeControl;
using forms::SetUpPageWindow;

// The language file chosen on the language page (a missing file gives every
// default).
lang::TIniFile ChosenLanguageFile();

// The keys of section [Installer], as the pages name them.
namespace key = lang::installer_key;

// A text of section [Installer], empty when the key is missing.
std::string InstallerText(const lang::TIniFile& file, lang::InstallerKey key);

// Puts an [Installer] text on a control.
void LoadInstallerText(forms::Form& form, const lang::TIniFile& file, const std::string& control,
                       lang::InstallerKey key);

// Shows the exit dialog modally; true when the user answered Yes.
bool ConfirmExitSetup();

// The close query shared by the welcome, license and destination pages:
// `confirm` tells whether the close in progress must be confirmed and is
// re-armed for every later close. Returns false when the close is withdrawn
// (action set to kNone); a confirmed close leaves with Cancel.
bool RunExitConfirmation(forms::Form& page, bool& confirm, forms::CloseAction& action);

}  // namespace qr5::pages
