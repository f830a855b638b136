// The frame shared by the wizard pages: window attributes, the welcome and
// header layouts, the button row, text loading from the chosen language file,
// and the exit confirmation asked before a page is left.
#pragma once

#include <string>

#include "forms/form.h"
#include "lang/ini_file.h"

namespace qr5::pages {

// Geometry of the page frame, in pixels.
inline constexpr int kPageClientWidth = 494;
inline constexpr int kPageClientHeight = 358;
inline constexpr int kButtonRowTop = 326;
inline constexpr int kButtonWidth = 75;
inline constexpr int kButtonHeight = 23;
inline constexpr int kBackButtonLeft = 258;
inline constexpr int kNextButtonLeft = 333;
inline constexpr int kCancelButtonLeft = 414;
inline constexpr int kDividerTop = 314;
inline constexpr int kHeaderBandHeight = 58;

// A control of the given kind and bounds, everything else at its default.
forms::Control MakeControl(const std::string& name, forms::ControlKind kind, int left, int top,
                         int width, int height);

// A push button with its modal result.
forms::Control& AddButton(forms::Form& form, const std::string& name, int left, int top,
                        int modal_result);

// A word-wrapped label.
forms::Control& AddLabel(forms::Form& form, const std::string& name, int left, int top, int width,
                       int height, forms::FontStyle font = forms::FontStyle::kNormal);

// 494 x 358 client area, single fixed border, system menu, minimise box, no
// maximise box, centred.
void SetUpPageWindow(forms::Form& form);

// Welcome layout: a white area over the upper 314 rows with the tall
// picture at the left edge, closed by a grey line at y 314.
void AddWelcomeBackground(forms::Form& form);

// Header layout: a white band over the upper 58 rows closed by a grey line,
// the header picture at its right end, the bold title `TitleLabel1` and the
// subtitle `TitleLabel2`; then the dividing line above the button row.
void AddHeaderBand(forms::Form& form, int title_top, int subtitle_top);

// The language file chosen on the language page (a missing file gives every
// default).
lang::TIniFile ChosenLanguageFile();

// A text of section [Installer], empty when the key is missing.
std::string InstallerText(const lang::TIniFile& file, const std::string& key);

// Puts an [Installer] text on a control.
void LoadInstallerText(forms::Form& form, const lang::TIniFile& file, const std::string& control,
                       const std::string& key);

// Shows the exit dialog modally; true when the user answered Yes.
bool ConfirmExitSetup();

// The close query shared by the welcome, license and destination pages:
// `confirm` tells whether the close in progress must be confirmed and is
// re-armed for every later close. Returns false when the close is withdrawn
// (action set to kNone); a confirmed close leaves with Cancel.
bool RunExitConfirmation(forms::Form& page, bool& confirm, forms::CloseAction& action);

}  // namespace qr5::pages
