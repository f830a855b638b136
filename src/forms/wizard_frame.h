// The look of a wizard page, shared by the setup and the uninstaller: the
// window, the welcome and header layouts with their pictures, the button row.
#pragma once

#include <string>

#include "forms/form.h"

namespace qr5::forms {

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
Control MakeControl(const std::string& name, ControlKind kind, int left, int top,
                         int width, int height);

// A push button with its modal result.
Control& AddButton(Form& form, const std::string& name, int left, int top,
                        int modal_result);

// A word-wrapped label.
Control& AddLabel(Form& form, const std::string& name, int left, int top, int width,
                       int height, FontStyle font = FontStyle::kNormal);

// 494 x 358 client area, single fixed border, system menu, minimise box, no
// maximise box, centred.
void SetUpPageWindow(Form& form);

// Welcome layout: a white area over the upper 314 rows with the tall
// picture at the left edge, closed by a grey line at y 314.
void AddWelcomeBackground(Form& form);

// Header layout: a white band over the upper 58 rows closed by a grey line,
// the header picture at its right end, the bold title `TitleLabel1` and the
// subtitle `TitleLabel2`; then the dividing line above the button row.
void AddHeaderBand(Form& form, int title_top, int subtitle_top);

}  // namespace qr5::forms
