// The one place that knows the display's density: the screen DC's
// LOGPIXELSY (on every Windows from 95; a program that does not declare
// itself DPI-aware is told 96 from Vista on and is stretched instead).
#include "front_ends/win32/win32_scaling.h"

namespace qr5::front_ends::win32 {

namespace {

// The screen's pixels per logical inch, read once (the windows are all made
// on the one thread, at one density); 0 until then.
int g_dpi = 0;

int ScreenDpi() {
  if (g_dpi == 0) {
    HDC dc = ::GetDC(nullptr);
    const int got = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc != nullptr) ::ReleaseDC(nullptr, dc);
    g_dpi = got > 0 ? got : 96;
  }
  return g_dpi;
}

// units * dpi / per, rounded half away from zero.
int Scale(int units, int per) {
  const int product = units * ScreenDpi();
  return product >= 0 ? (product + per / 2) / per : -((per / 2 - product) / per);
}

}  // namespace

int Px(int units) { return Scale(units, 96); }

int FontPx(int points) { return Scale(points, 72); }

int Units(int pixels) {
  const int dpi = ScreenDpi();
  return pixels <= 0 ? pixels : (pixels * 96 + dpi - 1) / dpi;
}

RECT PxRect(int left, int top, int right, int bottom) {
  return RECT{Px(left), Px(top), Px(right), Px(bottom)};
}

}  // namespace qr5::front_ends::win32
