// The setup's real forms in the real Windows front end, inside this process,
// checked through their windows. Runs under Wine (or Windows).
//
//   check_forms tree                 the browse dialog's tree lists no folder
//                                    that is hidden and system, every entry it
//                                    lists can be selected, a typed folder gets
//                                    the folder icon, opened entries stay open
//   check_forms layout <folder> [dpi]
//                                    every page and dialog in every language
//                                    file LANGUAGE.* of <folder> (with its
//                                    LICENSE.*): no label's text, measured in
//                                    the window's font, runs into another
//                                    control or past the window's edge; the
//                                    screen has dpi (96 when not given), and
//                                    windows, controls and fonts are the
//                                    form's sizes scaled by dpi/96
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "session/session_state.h"
#include "forms/application.h"
#include "pages/dlg_browse_install_path.h"
#include "pages/dlg_error.h"
#include "pages/form_exit_setup.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step5.h"
#include "pages/form_step6.h"
#include "front_ends/win32/win32_front_end.h"
#include "platform/win32/win32_machine.h"

// After the setup's headers: <windows.h> turns some of their names into macros.
#include <windows.h>

#include <commctrl.h>

namespace {

using qr5::forms::Control;
using qr5::forms::ControlKind;
using qr5::forms::Form;

int g_failures = 0;
int g_dpi = 96;  // the density the screen was set to

// A length of the form model on this screen (MulDiv's rounding; the model's
// lengths are not negative).
int Scaled(int units) { return (units * g_dpi + 48) / 96; }

void Check(bool ok, const std::string& what) {
  if (ok) return;
  std::fprintf(stderr, "check_forms: FAIL: %s\n", what.c_str());
  ++g_failures;
}

void Pump() {
  for (int i = 0; i < 5; ++i) {
    qr5::forms::App().ProcessMessages();
    ::Sleep(20);
  }
}

struct FindTop {
  std::string caption;
  HWND found = nullptr;
};

BOOL CALLBACK TopProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<FindTop*>(param);
  char caption[256] = {}, cls[64] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  ::GetWindowTextA(window, caption, sizeof caption);
  if (::IsWindowVisible(window) && std::string(cls) == "QR5Form" && s->caption == caption) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

// The shown window of a form (the front end's windows carry its caption).
HWND WindowOf(const Form& form) {
  FindTop s{form.caption};
  ::EnumThreadWindows(::GetCurrentThreadId(), TopProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The child window of a control: the front end numbers them in the form's
// control order from 100.
HWND ControlWindow(HWND form_window, const Form& form, const Control& control) {
  const auto& controls = form.Controls();
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].get() == &control) return ::GetDlgItem(form_window, 100 + static_cast<int>(i));
  return nullptr;
}

// ---- the folder tree ----

std::string ItemText(HWND tree, HTREEITEM item) {
  char text[MAX_PATH] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::string& name) {
  HTREEITEM item = reinterpret_cast<HTREEITEM>(::SendMessageA(
      tree, TVM_GETNEXTITEM, parent == nullptr ? TVGN_ROOT : TVGN_CHILD,
      reinterpret_cast<LPARAM>(parent)));
  for (; item != nullptr; item = reinterpret_cast<HTREEITEM>(::SendMessageA(
                              tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
    if (lstrcmpiA(ItemText(tree, item).c_str(), name.c_str()) == 0) return item;
  return nullptr;
}

int ItemImage(HWND tree, HTREEITEM item) {
  TVITEMA tv{};
  tv.mask = TVIF_IMAGE;
  tv.hItem = item;
  ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return tv.iImage;
}

bool IsOpen(HWND tree, HTREEITEM item) {
  return (::SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
          TVIS_EXPANDED) != 0;
}

HWND TreeWindow(qr5::pages::TDlgBrowseInstallPath& browse) {
  HWND dialog = WindowOf(browse);
  return dialog == nullptr ? nullptr
                           : ControlWindow(dialog, browse, browse.Get("FolderTreeView1"));
}

int TreeChecks() {
  const std::string base = "C:\\QR5TREE";
  ::CreateDirectoryA(base.c_str(), nullptr);
  for (const char* name : {"Visible", "Hidden", "Both", "Zeta"})
    ::CreateDirectoryA((base + "\\" + name).c_str(), nullptr);
  ::SetFileAttributesA((base + "\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ::SetFileAttributesA((base + "\\Both").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

  qr5::pages::TDlgError error;
  qr5::pages::DlgError = &error;
  qr5::pages::TDlgBrowseInstallPath browse;
  qr5::pages::DlgBrowseInstallPath = &browse;
  browse.Show();
  browse.MoveTreeTo(base, false);
  Pump();
  HWND tree = TreeWindow(browse);
  if (tree == nullptr) {
    Check(false, "no tree view in the browse dialog");
    return 1;
  }
  // Opened as a user opens it: the keyboard on the selected entry, through
  // the message loop and the form model.
  ::SetFocus(tree);
  ::PostMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
  Pump();
  HTREEITEM drive = ChildNamed(tree, nullptr, "C:\\");
  HTREEITEM folder = drive == nullptr ? nullptr : ChildNamed(tree, drive, "QR5TREE");
  if (folder == nullptr) {
    Check(false, "no entry C:\\QR5TREE");
    return 1;
  }
  Check(IsOpen(tree, folder), "the entry opened by the keyboard is open");
  Check(ChildNamed(tree, folder, "Visible") != nullptr, "Visible is listed");
  Check(ChildNamed(tree, folder, "Hidden") != nullptr, "a folder that is only hidden is listed");
  Check(ChildNamed(tree, folder, "Both") == nullptr, "a hidden and system folder is not listed");

  // Every entry listed under the folder and its drive can be selected, and
  // the selection stays where the click put it.
  int listed = 0;
  for (HTREEITEM parent : {drive, folder}) {
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    for (; item != nullptr; item = reinterpret_cast<HTREEITEM>(::SendMessageA(
                                tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      const std::string name = ItemText(tree, item);
      ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      Pump();
      const HTREEITEM caret = reinterpret_cast<HTREEITEM>(
          ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
      const std::string selected = browse.SelectedFolder();
      const std::string leaf = selected.substr(selected.rfind('\\') + 1);
      Check(caret == item && lstrcmpiA(leaf.c_str(), name.c_str()) == 0,
            "the entry " + name + " stays selected (the dialog has " + selected + ")");
      ++listed;
      Check(item == folder || !IsOpen(tree, item), "selecting " + name + " opens nothing");
    }
  }
  Check(listed >= 4, "entries were listed (" + std::to_string(listed) + ")");

  // A typed folder that is not on the disk: sorted among its siblings, with
  // the folder icon.
  browse.MoveTreeTo(base + "\\New", true);
  Pump();
  folder = ChildNamed(tree, ChildNamed(tree, nullptr, "C:\\"), "QR5TREE");
  HTREEITEM added = folder == nullptr ? nullptr : ChildNamed(tree, folder, "New");
  HTREEITEM visible = folder == nullptr ? nullptr : ChildNamed(tree, folder, "Visible");
  if (added == nullptr || visible == nullptr) {
    Check(false, "no entry for the typed folder New");
  } else {
    Check(ItemImage(tree, added) == ItemImage(tree, visible), "the typed folder has the folder icon");
    HTREEITEM after = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(added)));
    Check(after == visible, "the typed folder is sorted among its siblings");
  }

  // Shown again, the tree keeps what was open.
  browse.Hide();
  Pump();
  browse.Show();
  Pump();
  tree = TreeWindow(browse);
  drive = tree == nullptr ? nullptr : ChildNamed(tree, nullptr, "C:\\");
  folder = drive == nullptr ? nullptr : ChildNamed(tree, drive, "QR5TREE");
  Check(folder != nullptr && IsOpen(tree, folder), "C:\\QR5TREE is still open at the next showing");
  browse.Hide();
  Pump();
  qr5::pages::DlgBrowseInstallPath = nullptr;
  qr5::pages::DlgError = nullptr;
  return g_failures == 0 ? 0 : 1;
}

// ---- the layout ----

bool Overlap(const RECT& a, const RECT& b) {
  RECT both;
  return ::IntersectRect(&both, &a, &b) != FALSE;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// The rectangle a control's text takes, in the form's client coordinates.
RECT TextRect(HWND window, const Control& c, const RECT& bounds) {
  HDC dc = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)));
  const bool button_like = c.kind == ControlKind::kCheckBox || c.kind == ControlKind::kRadioButton;
  // A check box's text stands right of its box.
  const int indent = button_like ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0;
  RECT need{0, 0, c.word_wrap ? bounds.right - bounds.left - indent : 0, 0};
  ::DrawTextA(dc, c.text.c_str(), -1, &need,
              DT_CALCRECT | (c.word_wrap ? DT_WORDBREAK : DT_SINGLELINE));
  ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  RECT text{bounds.left + indent, bounds.top, bounds.left + indent + need.right,
            bounds.top + need.bottom};
  if (button_like) {  // centred on the control's height
    const int h = need.bottom;
    text.top = bounds.top + (bounds.bottom - bounds.top - h) / 2;
    text.bottom = text.top + h;
  }
  return text;
}

bool Near(LONG got, int want) { return got >= want - 1 && got <= want + 1; }

// The window, each control's window and its font are the form's sizes at
// the screen's density: at 144 DPI a 75-pixel button is 112 or 113 pixels
// wide (the font follows its size in points). A label may be larger (it
// grows to its text); the height of a combo box is the system's.
void CheckScaled(HWND window, const Form& form, const Control& c, const RECT& r,
                 const std::string& where) {
  const std::string what = where + " " + c.name + " " + Describe(r);
  const int width = Scaled(c.left + c.width) - Scaled(c.left);
  const int height = Scaled(c.top + c.height) - Scaled(c.top);
  const bool grows = c.kind == ControlKind::kLabel && !c.tab_stop;
  Check(Near(r.left, Scaled(c.left)) && Near(r.top, Scaled(c.top)),
        what + " is not at (" + std::to_string(c.left) + "," + std::to_string(c.top) + ") scaled");
  const bool wide = grows ? r.right - r.left >= width - 1 : Near(r.right - r.left, width);
  const bool tall = grows ? r.bottom - r.top >= height - 1
                          : c.kind == ControlKind::kComboBox || Near(r.bottom - r.top, height);
  Check(wide && tall, what + " is not " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                          " scaled to " + std::to_string(width) + "x" + std::to_string(height));
  LOGFONTA font{};
  HFONT handle = reinterpret_cast<HFONT>(
      ::SendMessageA(ControlWindow(window, form, c), WM_GETFONT, 0, 0));
  // 8 points (12 for a title): 11 pixels at 96 DPI, 16 at 144.
  const int points = c.font == qr5::forms::FontStyle::kTitle ? 12 : 8;
  const int pixels = (points * g_dpi + 36) / 72;
  Check(handle != nullptr && ::GetObjectA(handle, sizeof font, &font) == sizeof font &&
            font.lfHeight == -pixels,
        what + " has a font of height " + std::to_string(font.lfHeight) + ", not " +
            std::to_string(-pixels));
}

// A font's lines are whole pixels: where the screen's density is not a
// multiple of 96, the model's line of 13 pixels becomes a fraction (19.5 at
// 144 DPI) and a line of MS Sans Serif takes the next whole pixel (20). A
// label's text may pass its place by one pixel a line, into the blank
// leading of the text below it.
int LineSlack(HWND window, int height) {
  if (g_dpi % 96 == 0) return 0;
  HDC dc = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  return metrics.tmHeight > 0 ? height / metrics.tmHeight : 0;
}

void CheckLayout(Form& form, const std::string& language) {
  HWND window = WindowOf(form);
  const std::string where = language + " " + form.class_name;
  if (window == nullptr) {
    Check(false, where + ": no window");
    return;
  }
  RECT client;
  ::GetClientRect(window, &client);
  Check(client.right == Scaled(form.client_width) && client.bottom == Scaled(form.client_height),
        where + ": the window's inside " + Describe(client) + " is not " +
            std::to_string(form.client_width) + "x" + std::to_string(form.client_height) +
            " scaled");
  struct Placed {
    const Control* control;
    RECT rect;
    int slack;  // LineSlack of a label
  };
  std::vector<Placed> placed;
  for (const auto& c : form.Controls()) {
    if (!c->visible || c->kind == ControlKind::kBevel) continue;
    RECT r{Scaled(c->left), Scaled(c->top), Scaled(c->left + c->width),
           Scaled(c->top + c->height)};  // a painted control's place
    int slack = 0;
    if (HWND child = ControlWindow(window, form, *c)) {
      ::GetWindowRect(child, &r);
      ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
      CheckScaled(window, form, *c, r, where);
      if (c->kind == ControlKind::kComboBox) r.bottom = r.top + Scaled(c->height);  // closed
      if (c->kind == ControlKind::kLabel && !c->tab_stop)
        slack = LineSlack(child, r.bottom - r.top);
    }
    placed.push_back({c.get(), r, slack});
  }
  for (const Placed& p : placed) {
    const Control& c = *p.control;
    HWND child = ControlWindow(window, form, c);
    if (child == nullptr || c.text.empty()) continue;
    if (c.kind == ControlKind::kButton) {
      // A push button's text, centred, must leave room for its edges.
      RECT one{p.rect.left, p.rect.top, p.rect.left, p.rect.top};
      const RECT text = TextRect(child, c, one);
      Check(text.right - text.left <= p.rect.right - p.rect.left - 6,
            where + " " + c.name + " \"" + c.text + "\" is wider than its button");
      continue;
    }
    const bool texty = (c.kind == ControlKind::kLabel && !c.tab_stop) ||
                       c.kind == ControlKind::kCheckBox || c.kind == ControlKind::kRadioButton;
    if (!texty) continue;
    RECT text = TextRect(child, c, p.rect);
    text.bottom -= p.slack;
    const std::string what = where + " " + c.name + " \"" + c.text + "\" " + Describe(text);
    Check(text.right <= p.rect.right && text.bottom <= p.rect.bottom,
          what + " is cut by its own window " + Describe(p.rect));
    Check(text.right <= client.right && text.bottom <= client.bottom,
          what + " is cut at the window's edge " + Describe(client));
    for (const Placed& other : placed) {
      if (other.control == &c) continue;
      RECT below = other.rect;
      below.bottom -= other.slack;
      Check(!Overlap(text, below),
            what + " runs into " + other.control->name + " " + Describe(other.rect));
    }
  }
}

int LayoutChecks(const std::string& folder) {
  using namespace qr5::pages;
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  Check(dpi == g_dpi, "the screen has " + std::to_string(dpi) + " DPI, not " +
                          std::to_string(g_dpi));
  TFormExitSetup exit_setup;
  FormExitSetup = &exit_setup;
  TDlgError error;
  DlgError = &error;
  TDlgBrowseInstallPath browse;
  DlgBrowseInstallPath = &browse;
  TFormStep1 step1;
  FormStep1 = &step1;
  TFormStep2 step2;
  FormStep2 = &step2;
  TFormStep3 step3;
  FormStep3 = &step3;
  TFormStep4 step4;
  FormStep4 = &step4;
  TFormStep5 step5;
  FormStep5 = &step5;
  TFormStep6 step6;
  FormStep6 = &step6;

  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "\\LANGUAGE.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    Check(false, "no language files in " + folder);
    return 1;
  }
  std::vector<std::string> names;
  do names.push_back(found.cFileName);
  while (::FindNextFileA(search, &found));
  ::FindClose(search);

  for (const std::string& name : names) {
    std::string ext = name.substr(name.find('.'));
    for (char& ch : ext)
      if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    const std::string language = ext.substr(1);
    // One temporary folder per language, as the setup makes it.
    const std::string temp = "C:\\QR5LAYOUT\\" + language + "\\";
    ::CreateDirectoryA("C:\\QR5LAYOUT", nullptr);
    ::CreateDirectoryA(temp.c_str(), nullptr);
    ::CopyFileA((folder + "\\" + name).c_str(), (temp + "LANGUAGE" + ext).c_str(), FALSE);
    ::CopyFileA((folder + "\\LICENSE" + ext).c_str(), (temp + "LICENSE" + ext).c_str(), FALSE);
    qr5::session::SessionState& s = qr5::session::Session();
    s = qr5::session::SessionState{};
    s.TempDir = temp;
    s.LanguageExt = ext;
    s.LanguageFilePath = temp + "LANGUAGE" + ext;
    std::printf("check_forms: %s\n", language.c_str());
    std::fflush(stdout);
    std::vector<Form*> forms{&step1, &step2, &step3, &step4, &step5, &step6, &exit_setup, &browse};
    for (Form* form : forms) {
      form->Show();
      Pump();
      CheckLayout(*form, language);
      form->Hide();
      Pump();
    }
    // The error dialog with both of its messages: a refused path, and the
    // destination page's missing free space.
    browse.Show();
    Pump();
    browse.Hide();  // leaves the refused path's texts on the error dialog
    error.Show();
    Pump();
    CheckLayout(error, language + " (path)");
    error.Hide();
    step4.Show();
    Pump();
    step4.Hide();  // leaves the free-space texts on it
    error.Show();
    Pump();
    CheckLayout(error, language + " (free space)");
    error.Hide();
    Pump();
  }
  FormExitSetup = nullptr;
  DlgError = nullptr;
  DlgBrowseInstallPath = nullptr;
  FormStep1 = nullptr;
  FormStep2 = nullptr;
  FormStep3 = nullptr;
  FormStep4 = nullptr;
  FormStep5 = nullptr;
  FormStep6 = nullptr;
  return g_failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  qr5::platform::win32::Win32Machine machine;
  qr5::platform::Install(&machine.machine());
  qr5::platform::Sys().com->Initialize();
  qr5::front_ends::win32::Win32FrontEnd front_end(::GetModuleHandleA(nullptr), SW_SHOWNORMAL);
  qr5::forms::App().SetFrontEnd(&front_end);
  const std::string mode = argc >= 2 ? argv[1] : "";
  int code = 2;
  if (mode == "tree") {  // a language folder may follow; unused
    code = TreeChecks();
  } else if (mode == "layout" && (argc == 3 || argc == 4)) {
    if (argc == 4) g_dpi = std::atoi(argv[3]);
    std::printf("check_forms: at %d DPI\n", g_dpi);
    code = LayoutChecks(argv[2]);
  } else {
    std::fprintf(stderr, "usage: check_forms tree | layout <folder> [dpi]\n");
  }
  qr5::forms::App().SetFrontEnd(nullptr);
  qr5::platform::Install(nullptr);
  if (code == 0) std::printf("check_forms: %s passed\n", mode.c_str());
  return code;
}
