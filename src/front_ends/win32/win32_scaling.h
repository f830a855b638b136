// The display's density: the form model places everything in pixels of a
// 96-DPI screen, and the front end turns them into the screen's pixels
// (positions, sizes, fonts and the painted pictures), as a program that
// declares itself DPI-aware must; at 96 DPI nothing changes.
#pragma once

#include "platform/win32/win32_api.h"

namespace qr5::front_ends::win32 {

// A length of the model in screen pixels, rounded half away from zero as MulDiv rounds.
int Px(int units);
// A font's height in screen pixels for its size in points (a point is
// 1/72 inch; the setup's 8 points are 11 pixels at 96 DPI, 16 at 144).
int FontPx(int points);
// A width measured in screen pixels in the model's units, rounded up so the
// model never gives a text less room than it needs.
int Units(int pixels);
// A rectangle of the model in screen pixels (each edge scaled, so that
// controls that touch in the model touch on the screen).
RECT PxRect(int left, int top, int right, int bottom);

}  // namespace qr5::front_ends::win32
