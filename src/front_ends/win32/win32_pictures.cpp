#include "front_ends/win32/win32_pictures.h"
#include "front_ends/win32/win32_scaling.h"

#include <algorithm>

namespace qr5::front_ends::win32 {

namespace {

COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
  if (den <= 0) return a;
  auto channel = [&](int shift) {
    const int x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
    return static_cast<COLORREF>(x + (y - x) * num / den) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  RECT r{left, top, right, bottom};
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
}

// Top-to-bottom gradient in one-pixel bands (GradientFill needs msimg32).
void VerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
  const int height = r.bottom - r.top;
  for (int y = 0; y < height; ++y)
    Fill(dc, r.left, r.top + y, r.right, r.top + y + 1, Mix(top, bottom, y, height - 1));
}

void HorizontalGradient(HDC dc, const RECT& r, COLORREF left, COLORREF right) {
  const int width = r.right - r.left;
  for (int x = 0; x < width; ++x)
    Fill(dc, r.left + x, r.top, r.left + x + 1, r.bottom, Mix(left, right, x, width - 1));
}

void Ellipse(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF pen_colour,
             int pen_width = 1) {
  HBRUSH brush = ::CreateSolidBrush(fill);
  HPEN pen = ::CreatePen(PS_SOLID, std::max(pen_width, Px(1)), pen_colour);
  HGDIOBJ old_brush = ::SelectObject(dc, brush);
  HGDIOBJ old_pen = ::SelectObject(dc, pen);
  ::Ellipse(dc, left, top, right, bottom);
  ::SelectObject(dc, old_brush);
  ::SelectObject(dc, old_pen);
  ::DeleteObject(brush);
  ::DeleteObject(pen);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width) {
  HPEN pen = ::CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

void CentredText(HDC dc, const RECT& r, const char* text, int height, COLORREF colour) {
  HFONT font = ::CreateFontA(-height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                             "Verdana");
  HGDIOBJ old = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  RECT box = r;
  ::DrawTextA(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
}

constexpr COLORREF kDeepBlue = RGB(16, 40, 112);
constexpr COLORREF kSkyBlue = RGB(96, 152, 224);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The product's mark: a ring with a disc in it, the "5" of the suite on top.
void Mark(HDC dc, const RECT& r) {
  const int size = std::min(r.right - r.left, r.bottom - r.top);
  const int x = r.left + (r.right - r.left - size) / 2, y = r.top + (r.bottom - r.top - size) / 2;
  Ellipse(dc, x + 1, y + 1, x + size - 1, y + size - 1, kSkyBlue, kWhite, std::max(1, size / 16));
  const int inset = size / 5;
  Ellipse(dc, x + inset, y + inset, x + size - inset, y + size - inset, kDeepBlue, kDeepBlue);
  RECT inner{x, y, x + size, y + size};
  CentredText(dc, inner, "5", size / 2, kWhite);
}

void SidePicture(HDC dc, const RECT& r) {
  VerticalGradient(dc, r, kDeepBlue, kSkyBlue);
  // A few soft rings down the band.
  const int w = r.right - r.left;
  for (int i = 0; i < 4; ++i) {
    const int d = w / 2 + i * Px(10);
    const int cx = r.left + w / 2, cy = r.bottom - Px(60) - i * Px(36);
    HPEN pen = ::CreatePen(PS_SOLID, Px(1), Mix(kSkyBlue, kWhite, i + 1, 6));
    HGDIOBJ old_pen = ::SelectObject(dc, pen);
    HGDIOBJ old_brush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Ellipse(dc, cx - d / 2, cy - d / 2, cx + d / 2, cy + d / 2);
    ::SelectObject(dc, old_pen);
    ::SelectObject(dc, old_brush);
    ::DeleteObject(pen);
  }
  // The pages put the logo at the top; the band carries the name.
  RECT name{r.left, r.top + Px(120), r.right, r.top + Px(146)};
  CentredText(dc, name, "Quorlin", Px(18), kWhite);
}

void HeaderPicture(HDC dc, const RECT& r) {
  HorizontalGradient(dc, r, kWhite, Mix(kSkyBlue, kWhite, 1, 2));
  const int inset = Px(6);
  RECT mark{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
  Mark(dc, mark);
}

void LanguagePicture(HDC dc, const RECT& r) {
  // A globe: a disc with a meridian and two parallels.
  const int size = std::min(r.right - r.left, r.bottom - r.top);
  const int x = r.left, y = r.top;
  Ellipse(dc, x + 1, y + 1, x + size - 1, y + size - 1, RGB(64, 128, 208), kDeepBlue);
  HGDIOBJ old_brush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
  const int line = Px(1), rim = Px(2), inset = Px(5);
  HPEN pen = ::CreatePen(PS_SOLID, line, RGB(200, 228, 255));
  HGDIOBJ old_pen = ::SelectObject(dc, pen);
  ::Ellipse(dc, x + size / 3, y + 1, x + size - size / 3, y + size - 1);
  ::SelectObject(dc, old_pen);
  ::SelectObject(dc, old_brush);
  ::DeleteObject(pen);
  Line(dc, x + rim, y + size / 2, x + size - rim, y + size / 2, RGB(200, 228, 255), line);
  Line(dc, x + inset, y + size / 4, x + size - inset, y + size / 4, RGB(200, 228, 255), line);
  Line(dc, x + inset, y + size * 3 / 4, x + size - inset, y + size * 3 / 4, RGB(200, 228, 255), line);
}

void SymbolPicture(HDC dc, const RECT& r, COLORREF colour, const char* symbol) {
  const int size = std::min(r.right - r.left, r.bottom - r.top);
  const int x = r.left + (r.right - r.left - size) / 2, y = r.top + (r.bottom - r.top - size) / 2;
  Ellipse(dc, x + 1, y + 1, x + size - 1, y + size - 1, colour, Mix(colour, 0, 1, 2));
  RECT box{x, y, x + size, y + size};
  CentredText(dc, box, symbol, size * 2 / 3, kWhite);
}

void FolderPicture(HDC dc, const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  const COLORREF edge = RGB(160, 120, 24);
  HBRUSH back = ::CreateSolidBrush(RGB(232, 192, 72));
  HBRUSH front = ::CreateSolidBrush(RGB(252, 220, 112));
  HPEN pen = ::CreatePen(PS_SOLID, Px(1), edge);
  HGDIOBJ old_pen = ::SelectObject(dc, pen);
  HGDIOBJ old_brush = ::SelectObject(dc, back);
  const int one = Px(1), two = Px(2), three = Px(3), tab_top = Px(7);
  POINT tab[] = {{r.left + one, r.top + three},           {r.left + w / 3, r.top + three},
                 {r.left + w / 3 + three, r.top + tab_top}, {r.right - two, r.top + tab_top},
                 {r.right - two, r.bottom - two},          {r.left + one, r.bottom - two}};
  ::Polygon(dc, tab, 6);
  ::SelectObject(dc, front);
  POINT lid[] = {{r.left + one, r.bottom - two}, {r.left + Px(5), r.top + h / 3},
                 {r.right - one, r.top + h / 3}, {r.right - Px(4), r.bottom - two}};
  ::Polygon(dc, lid, 4);
  ::SelectObject(dc, old_pen);
  ::SelectObject(dc, old_brush);
  ::DeleteObject(pen);
  ::DeleteObject(back);
  ::DeleteObject(front);
}

}  // namespace

void DrawPicture(HDC dc, const RECT& rect, const std::string& name) {
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  if (name == "setup-side") {
    SidePicture(dc, rect);
  } else if (name == "setup-header") {
    HeaderPicture(dc, rect);
  } else if (name == "setup-logo") {
    Mark(dc, rect);
  } else if (name == "language") {
    LanguagePicture(dc, rect);
  } else if (name == "question") {
    SymbolPicture(dc, rect, RGB(32, 96, 192), "?");
  } else if (name == "error") {
    SymbolPicture(dc, rect, RGB(200, 32, 32), "X");
  } else if (name == "folder") {
    FolderPicture(dc, rect);
  }
  ::RestoreDC(dc, saved);
}

void DrawProgressBar(HDC dc, const RECT& rect, int position) {
  position = std::clamp(position, 0, 100);
  RECT inside = rect;
  ::FillRect(dc, &inside, ::GetSysColorBrush(COLOR_BTNFACE));
  ::DrawEdge(dc, &inside, EDGE_RAISED, BF_RECT | BF_ADJUST);
  const int width = inside.right - inside.left;
  const int filled = width * position / 100;
  if (filled <= 0) return;
  // Light at the top edge, deep at the bottom: a raised, rounded look.
  const int height = inside.bottom - inside.top;
  const int middle = height / 3;
  RECT upper{inside.left, inside.top, inside.left + filled, inside.top + middle};
  RECT lower{inside.left, inside.top + middle, inside.left + filled, inside.bottom};
  VerticalGradient(dc, upper, RGB(168, 200, 248), RGB(48, 104, 208));
  VerticalGradient(dc, lower, RGB(48, 104, 208), RGB(16, 48, 136));
}

}  // namespace qr5::front_ends::win32
