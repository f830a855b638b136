// Each control kind as a Windows child window: which window class and styles
// it is created with, and how its window is brought in line with the
// control's data (text, check, items, size of an auto-sized label).
#include <algorithm>

#include "front_ends/win32/win32_form_window.h"
#include "front_ends/win32/win32_scaling.h"

namespace qr5::front_ends::win32 {

using forms::Control;
using forms::ControlKind;

namespace {

struct Fonts {
  HFONT normal = nullptr, bold = nullptr, title = nullptr;
};

// MS Sans Serif 8 point for the frame, Verdana 12 point bold for the titles;
// sized in points, as the system sizes its own fonts, a line of text is as
// tall as the screen's density makes the model's 13 pixels (20 at 150 %
// would run into the next control).
const Fonts& TheFonts() {
  static Fonts fonts = [] {
    Fonts f;
    f.normal = ::CreateFontA(-FontPx(8), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "MS Sans Serif");
    f.bold = ::CreateFontA(-FontPx(8), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                           "MS Sans Serif");
    f.title = ::CreateFontA(-FontPx(12), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                            "Verdana");
    return f;
  }();
  return fonts;
}

void SetText(HWND window, const std::string& text) {
  if (WindowText(window) != text) ::SetWindowTextA(window, Z(text));
}

// Memo lines as one edit text.
std::string MemoText(const Control& c) {
  if (c.items.empty()) return c.text;
  std::string text;
  for (size_t i = 0; i < c.items.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += c.items[i];
  }
  return text;
}

// A label grows to show its whole text in the real font, as an auto-sized
// label does: a single line widens (up to the form's edge), a word-wrapped
// one gets taller, and either gets as tall as its lines (a font's line is a
// whole number of pixels: at 150 % the model's 13 are 20, not 19.5). The
// read-only field (a label that takes the focus) keeps its size.
RECT LabelBounds(HWND window, const Control& c, int client_width) {
  RECT bounds = Bounds(c);
  if (c.kind != ControlKind::kLabel || c.tab_stop || c.text.empty()) return bounds;
  HDC dc = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)));
  RECT need{0, 0, bounds.right - bounds.left, 0};
  ::DrawTextA(dc, Z(c.text), -1, &need,
              DT_CALCRECT | (c.word_wrap ? DT_WORDBREAK : DT_SINGLELINE));
  ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  bounds.bottom = std::max<LONG>(bounds.bottom, bounds.top + need.bottom);
  if (!c.word_wrap) {
    const int right = std::min(static_cast<int>(bounds.left + need.right), Px(client_width));
    bounds.right = std::max<LONG>(bounds.right, right);
  }
  return bounds;
}

}  // namespace

bool Painted(ControlKind kind) {
  return kind == ControlKind::kBevel || kind == ControlKind::kImage ||
         kind == ControlKind::kProgressBar;
}

HFONT DialogFont() { return TheFonts().normal; }

int Win32FrontEnd::TextWidth(const std::string& text) {
  HDC dc = ::GetDC(nullptr);
  if (dc == nullptr) return -1;
  HGDIOBJ old = ::SelectObject(dc, DialogFont());
  RECT need{0, 0, 0, 0};
  const int height = ::DrawTextA(dc, Z(text), -1, &need, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return height == 0 && !text.empty() ? -1 : Units(static_cast<int>(need.right - need.left));
}

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  const int got = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

HWND CreateControlWindow(HWND parent, HINSTANCE instance, const ChildWindow& child) {
  const Control& c = *child.control;
  const char* window_class = "STATIC";
  DWORD style = WS_CHILD, ex_style = 0;
  const RECT r = Bounds(c);
  int height = r.bottom - r.top;
  switch (c.kind) {
    case ControlKind::kLabel:
      style |= c.word_wrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
      // The one label that takes the focus is a read-only field.
      if (c.tab_stop) ex_style |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kButton:
      window_class = "BUTTON";
      style |= WS_TABSTOP | BS_NOTIFY | (c.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::kCheckBox:
      window_class = "BUTTON";
      style |= WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX;
      break;
    case ControlKind::kRadioButton:
      window_class = "BUTTON";
      style |= WS_TABSTOP | BS_NOTIFY | BS_AUTORADIOBUTTON;
      break;
    case ControlKind::kEdit:
      window_class = "EDIT";
      // A read-only field still takes the focus, selects and scrolls.
      style |= WS_TABSTOP | ES_AUTOHSCROLL | (c.read_only ? ES_READONLY : 0);
      ex_style |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kComboBox:
      window_class = "COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      height += Px(200);  // the dropped-down list
      break;
    case ControlKind::kMemo:
      window_class = "EDIT";
      style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
      ex_style |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kTreeView:
      window_class = WC_TREEVIEWA;
      style |= WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
      ex_style |= WS_EX_CLIENTEDGE;
      break;
    default:
      break;
  }
  HWND hwnd = ::CreateWindowExA(ex_style, window_class, "", style, r.left, r.top,
                                r.right - r.left, height, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(child.id)),
                                instance, nullptr);
  if (hwnd != nullptr) {
    const Fonts& fonts = TheFonts();
    HFONT font = c.font == forms::FontStyle::kTitle  ? fonts.title
                 : c.font == forms::FontStyle::kBold ? fonts.bold
                                                   : fonts.normal;
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return hwnd;
}

void SyncControl(ChildWindow& child, int client_width, bool default_framed) {
  const Control& c = *child.control;
  const RECT shown = LabelBounds(child.hwnd, c, client_width);
  if (!::EqualRect(&shown, &child.bounds)) {
    const int extra = c.kind == ControlKind::kComboBox ? Px(200) : 0;
    ::MoveWindow(child.hwnd, shown.left, shown.top, shown.right - shown.left,
                 shown.bottom - shown.top + extra, TRUE);
    child.bounds = shown;
  }
  switch (c.kind) {
    case ControlKind::kButton: {
      // The default frame goes where the form model has it: it follows the
      // focus, as the dialog manager moves it.
      const bool framed = default_framed;
      const bool has = (::GetWindowLongA(child.hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      if (framed != has)
        ::SendMessageA(child.hwnd, BM_SETSTYLE,
                       static_cast<WPARAM>(BS_NOTIFY | (framed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
                       TRUE);
      SetText(child.hwnd, c.text);
      break;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      ::SendMessageA(child.hwnd, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      SetText(child.hwnd, c.text);
      break;
    case ControlKind::kComboBox:
      if (child.items != c.items) {
        ::SendMessageA(child.hwnd, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : c.items)
          ::SendMessageA(child.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        child.items = c.items;
      }
      if (::SendMessageA(child.hwnd, CB_GETCURSEL, 0, 0) != c.item_index)
        ::SendMessageA(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(c.item_index), 0);
      break;
    case ControlKind::kMemo:
      SetText(child.hwnd, MemoText(c));
      break;
    case ControlKind::kTreeView:
      SyncTree(child);
      break;
    default:
      SetText(child.hwnd, c.text);
      break;
  }
  if ((::IsWindowEnabled(child.hwnd) != FALSE) != c.enabled) ::EnableWindow(child.hwnd, c.enabled);
  if (child.visible != c.visible) {
    ::ShowWindow(child.hwnd, c.visible ? SW_SHOWNA : SW_HIDE);
    child.visible = c.visible;
  }
}

}  // namespace qr5::front_ends::win32
