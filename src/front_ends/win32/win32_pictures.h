// The setup's own pictures, drawn with GDI so that the program carries no
// bitmaps: the tall welcome picture, the header picture, the logo and the
// small icons of the language page and the dialogs.
#pragma once

#include <string>

#include "platform/win32/win32_api.h"

namespace qr5::front_ends::win32 {

// Draws the picture called name into rect (screen pixels; its fixed sizes
// follow the screen's density); an unknown name draws nothing.
void DrawPicture(HDC dc, const RECT& rect, const std::string& name);

// The progress bar: a raised frame with a gradient filled to position % (0..100).
void DrawProgressBar(HDC dc, const RECT& rect, int position);

}  // namespace qr5::front_ends::win32
