// What the form window paints itself: the white bands and etched lines, the
// pictures and the progress bar, and the white background of the statics
// that stand on a white band.
#include "front_ends/win32/win32_form_window.h"
#include "front_ends/win32/win32_pictures.h"

namespace qr5::front_ends::win32 {

using forms::Control;
using forms::ControlKind;
using forms::Form;

namespace {

// Is the control on one of the form's white bands?
bool OnWhite(const Form& form, const Control& c) {
  for (const auto& other : form.Controls()) {
    if (other->kind != ControlKind::kBevel || other->picture != "white" || !other->visible)
      continue;
    if (c.left >= other->left && c.top >= other->top &&
        c.left < other->left + other->width && c.top < other->top + other->height)
      return true;
  }
  return false;
}

}  // namespace

void Paint(FormWindow& fw, HDC dc) {
  for (const auto& c : fw.form->Controls()) {
    if (!c->visible || !Painted(c->kind)) continue;
    const RECT r = Bounds(*c);
    if (c->kind == ControlKind::kBevel) {
      if (c->picture == "white") {
        ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
      } else {
        // An etched line: shadow over highlight.
        RECT top{r.left, r.top, r.right, r.top + 1};
        RECT below{r.left, r.top + 1, r.right, r.top + 2};
        ::FillRect(dc, &top, ::GetSysColorBrush(COLOR_BTNSHADOW));
        ::FillRect(dc, &below, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
      }
    } else if (c->kind == ControlKind::kImage) {
      DrawPicture(dc, r, c->picture);
    } else {
      DrawProgressBar(dc, r, c->position);
    }
  }
}

HBRUSH StaticBackground(const Form& form, const Control& c, HDC dc) {
  if (c.kind != ControlKind::kMemo && !OnWhite(form, c)) return nullptr;
  ::SetBkColor(dc, RGB(255, 255, 255));
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
}

}  // namespace qr5::front_ends::win32
