#include "platform/win32/win32_front_end.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_pictures.h"

#include <commctrl.h>
#include <shellapi.h>

namespace qr5::platform::win32 {

using forms::Control;
using forms::ControlKind;
using forms::Form;

namespace {

constexpr char kFormClass[] = "QR5Form";
constexpr int kFirstControlId = 100;

Win32FrontEnd* g_front_end = nullptr;

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (g_front_end != nullptr) {
    bool handled = false;
    const std::intptr_t result =
        g_front_end->Deliver(window, message, static_cast<std::uintptr_t>(wparam),
                             static_cast<std::intptr_t>(lparam), &handled);
    if (handled) return static_cast<LRESULT>(result);
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

struct Fonts {
  HFONT normal = nullptr, bold = nullptr, title = nullptr;
};

// MS Sans Serif 8 point (11 pixels) for the frame, Verdana 12 point bold
// (16 pixels) for the titles.
const Fonts& TheFonts() {
  static Fonts fonts = [] {
    Fonts f;
    f.normal = ::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "MS Sans Serif");
    f.bold = ::CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                           "MS Sans Serif");
    f.title = ::CreateFontA(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Verdana");
    return f;
  }();
  return fonts;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  const int got = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

void SetText(HWND window, const std::string& text) {
  if (WindowText(window) != text) ::SetWindowTextA(window, Z(text));
}

std::string JoinPath(const std::string& parent, const std::string& name) {
  return !parent.empty() && parent.back() == '\\' ? parent + name : parent + "\\" + name;
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

RECT Bounds(const Control& c) { return RECT{c.left, c.top, c.left + c.width, c.top + c.height}; }

// Controls without a window of their own: the form paints them.
bool Painted(ControlKind kind) {
  return kind == ControlKind::kBevel || kind == ControlKind::kImage ||
         kind == ControlKind::kProgressBar;
}

}  // namespace

// One control's window and what was last put into it.
struct ChildWindow {
  Control* control = nullptr;
  HWND hwnd = nullptr;
  int id = 0;
  RECT bounds{};
  bool visible = true;
  int position = -1;
  std::string picture;
  std::vector<std::string> items;
  // Tree view: the full path of each entry (an entry's lParam points here)
  // and the entries whose subfolders have been read.
  std::vector<std::unique_ptr<std::string>> paths;
  std::set<HTREEITEM> read;
};

struct FormWindow {
  Form* form = nullptr;
  HWND hwnd = nullptr;
  std::vector<ChildWindow> children;
  std::vector<HWND> disabled;  // other forms disabled while this modal one is up
  int client_width = 0, client_height = 0;
  int serial = 0;  // order of showing
};

namespace {

ChildWindow* ChildById(FormWindow& fw, int id) {
  for (ChildWindow& child : fw.children)
    if (child.hwnd != nullptr && child.id == id) return &child;
  return nullptr;
}

ChildWindow* ChildByWindow(FormWindow& fw, HWND window) {
  for (ChildWindow& child : fw.children)
    if (child.hwnd != nullptr && child.hwnd == window) return &child;
  return nullptr;
}

ChildWindow* ChildByControl(FormWindow& fw, const Control* control) {
  for (ChildWindow& child : fw.children)
    if (child.control == control) return &child;
  return nullptr;
}

// ---- folder tree ----

std::string* TreePath(HWND tree, HTREEITEM item) {
  if (item == nullptr) return nullptr;
  TVITEMA tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  return reinterpret_cast<std::string*>(tv.lParam);
}

int SystemIcon(const std::string& path, bool open) {
  SHFILEINFOA info{};
  const UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
  if (::SHGetFileInfoA(Z(path), 0, &info, sizeof info, flags) == 0) return 0;
  return info.iIcon;
}

HTREEITEM InsertEntry(ChildWindow& child, HTREEITEM parent, const std::string& name,
                      const std::string& path, bool may_have_children) {
  child.paths.push_back(std::make_unique<std::string>(path));
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(name.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(child.paths.back().get());
  insert.item.cChildren = may_have_children ? 1 : 0;
  insert.item.iImage = SystemIcon(path, false);
  insert.item.iSelectedImage = parent == TVI_ROOT ? insert.item.iImage : SystemIcon(path, true);
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageA(child.hwnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FillDrives(ChildWindow& child) {
  char drives[512] = {};
  const DWORD length = ::GetLogicalDriveStringsA(sizeof drives - 1, drives);
  if (length == 0 || length >= sizeof drives) return;
  SHFILEINFOA info{};
  const HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (icons != nullptr)
    ::SendMessageA(child.hwnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
  for (const char* drive = drives; *drive != '\0'; drive += std::strlen(drive) + 1) {
    std::string root = drive;  // "C:\"
    InsertEntry(child, TVI_ROOT, root, root, true);
  }
}

// Reads an entry's subfolders from the disk, once.
void ReadSubfolders(ChildWindow& child, HTREEITEM item) {
  if (!child.read.insert(item).second) return;
  const std::string* path = TreePath(child.hwnd, item);
  if (path == nullptr) return;
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA(Z(JoinPath(*path, "*")), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." && name != "..")
        names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) <
             std::tolower(static_cast<unsigned char>(y));
    });
  });
  for (const std::string& name : names) InsertEntry(child, item, name, JoinPath(*path, name), true);
  if (names.empty()) {
    TVITEMA tv{};
    tv.mask = TVIF_CHILDREN;
    tv.hItem = item;
    tv.cChildren = 0;
    ::SendMessageA(child.hwnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  }
}

HTREEITEM FindEntry(HWND tree, HTREEITEM parent, const std::string& path) {
  HTREEITEM item = reinterpret_cast<HTREEITEM>(::SendMessageA(
      tree, TVM_GETNEXTITEM, parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD,
      reinterpret_cast<LPARAM>(parent == TVI_ROOT ? nullptr : parent)));
  for (; item != nullptr;
       item = reinterpret_cast<HTREEITEM>(
           ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    const std::string* p = TreePath(tree, item);
    if (p != nullptr && SameText(*p, path)) return item;
  }
  return nullptr;
}

// Selects the entry of path, opening the entries on the way; a folder that
// does not exist on the disk (one the user typed) gets an entry of its own.
void ShowTreePath(ChildWindow& child, const std::string& target) {
  HWND tree = child.hwnd;
  const std::string* current = TreePath(
      tree, reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)));
  if (current != nullptr && SameText(*current, target)) return;
  if (target.size() < 2 || target[1] != ':') {
    ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, 0);
    return;
  }
  HTREEITEM item = FindEntry(tree, TVI_ROOT, target.substr(0, 2) + "\\");
  if (item == nullptr) return;
  std::string path = target.substr(0, 2) + "\\";
  size_t pos = 2;
  while (pos < target.size()) {
    while (pos < target.size() && target[pos] == '\\') ++pos;
    const size_t end = std::min(target.find('\\', pos), target.size());
    if (end == pos) break;
    const std::string name = target.substr(pos, end - pos);
    pos = end;
    ReadSubfolders(child, item);
    ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    path = JoinPath(path, name);
    HTREEITEM next = FindEntry(tree, item, path);
    if (next == nullptr) {
      next = InsertEntry(child, item, name, path, false);
      child.read.insert(next);
      ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    }
    item = next;
  }
  ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  ::SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

// A label grows to show its whole text in the real font, as an auto-sized
// label does: a single line widens (up to the form's edge), a word-wrapped
// one gets taller. The read-only field (a label that takes the focus) keeps
// its size.
RECT LabelBounds(HWND window, const Control& c, int client_width) {
  RECT bounds = Bounds(c);
  if (c.kind != ControlKind::kLabel || c.tab_stop || c.text.empty()) return bounds;
  HDC dc = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)));
  RECT need{0, 0, c.width, 0};
  ::DrawTextA(dc, Z(c.text), -1, &need,
              DT_CALCRECT | (c.word_wrap ? DT_WORDBREAK : DT_SINGLELINE));
  ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  if (c.word_wrap) {
    bounds.bottom = std::max<LONG>(bounds.bottom, bounds.top + need.bottom);
  } else {
    const int right = std::min(c.left + static_cast<int>(need.right), client_width);
    bounds.right = std::max<LONG>(bounds.right, right);
  }
  return bounds;
}

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

struct WindowStyle {
  DWORD style, ex_style;
};

WindowStyle FrameStyle(const Form& form) {
  WindowStyle s{WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, 0};
  if (form.system_menu) s.style |= WS_SYSMENU;
  if (form.border == forms::BorderStyle::kDialog) {
    s.ex_style |= WS_EX_DLGMODALFRAME;
  } else if (form.border == forms::BorderStyle::kSingle && form.system_menu && form.minimize_box) {
    s.style |= WS_MINIMIZEBOX;
  }
  if (form.border == forms::BorderStyle::kNone) s.style &= ~static_cast<DWORD>(WS_CAPTION);
  return s;
}

void SetFrameSize(FormWindow& fw) {
  const Form& form = *fw.form;
  const WindowStyle s = FrameStyle(form);
  RECT r{0, 0, form.client_width, form.client_height};
  ::AdjustWindowRectEx(&r, s.style, FALSE, s.ex_style);
  const int width = r.right - r.left, height = r.bottom - r.top;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (form.centred) {
    x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  ::SetWindowPos(fw.hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  fw.client_width = form.client_width;
  fw.client_height = form.client_height;
}

}  // namespace

Win32FrontEnd::Win32FrontEnd(HINSTANCE__* instance, int show) : instance_(instance), show_(show) {
  g_front_end = this;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&common);
  WNDCLASSA wc{};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hIcon = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  ::RegisterClassA(&wc);
}

Win32FrontEnd::~Win32FrontEnd() {
  for (auto& [form, fw] : windows_)
    if (fw->hwnd != nullptr) ::DestroyWindow(fw->hwnd);
  windows_.clear();
  for (HWND window : hidden_) ::DestroyWindow(window);
  hidden_.clear();
  graveyard_.clear();
  if (g_front_end == this) g_front_end = nullptr;
}

FormWindow* Win32FrontEnd::Front() {
  FormWindow* front = nullptr;
  for (auto& [form, fw] : windows_)
    if (fw->hwnd != nullptr && ::IsWindowVisible(fw->hwnd) &&
        (front == nullptr || fw->serial > front->serial))
      front = fw.get();
  return front;
}

FormWindow* Win32FrontEnd::FindWindowOf(HWND__* window) {
  for (auto& [form, fw] : windows_)
    if (fw->hwnd == window) return fw.get();
  return nullptr;
}

void Win32FrontEnd::Create(FormWindow& fw) {
  Form& form = *fw.form;
  const WindowStyle s = FrameStyle(form);
  // Owned by the form shown before it, so a dialog stays above its page.
  FormWindow* below = Front();
  HWND owner = below != nullptr && below != &fw ? below->hwnd : nullptr;
  fw.hwnd = ::CreateWindowExA(s.ex_style, kFormClass, Z(form.caption), s.style, 0, 0, 100, 100,
                              owner, nullptr, instance_, nullptr);
  if (fw.hwnd == nullptr) return;
  const Fonts& fonts = TheFonts();
  ::SendMessageA(fw.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.normal), FALSE);
  SetFrameSize(fw);
  int id = kFirstControlId;
  for (const auto& control : form.Controls()) {
    ChildWindow child;
    child.control = control.get();
    child.id = id++;
    const Control& c = *control;
    if (!Painted(c.kind)) {
      const char* window_class = "STATIC";
      DWORD style = WS_CHILD, ex_style = 0;
      int height = c.height;
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
          style |= WS_TABSTOP | ES_AUTOHSCROLL;
          ex_style |= WS_EX_CLIENTEDGE;
          break;
        case ControlKind::kComboBox:
          window_class = "COMBOBOX";
          style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
          height += 200;  // the dropped-down list
          break;
        case ControlKind::kMemo:
          window_class = "EDIT";
          style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
          ex_style |= WS_EX_CLIENTEDGE;
          break;
        case ControlKind::kTreeView:
          window_class = WC_TREEVIEWA;
          style |= WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                   TVS_SHOWSELALWAYS;
          ex_style |= WS_EX_CLIENTEDGE;
          break;
        default:
          break;
      }
      child.hwnd = ::CreateWindowExA(ex_style, window_class, "", style, c.left, c.top, c.width,
                                     height, fw.hwnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(child.id)),
                                     instance_, nullptr);
      if (child.hwnd != nullptr) {
        HFONT font = c.font == forms::FontStyle::kTitle  ? fonts.title
                     : c.font == forms::FontStyle::kBold ? fonts.bold
                                                       : fonts.normal;
        ::SendMessageA(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (c.kind == ControlKind::kTreeView) FillDrives(child);
      }
      child.bounds = RECT{-1, -1, -1, -1};
    } else {
      child.bounds = Bounds(c);
    }
    child.visible = !c.visible;  // forces the first sync
    fw.children.push_back(std::move(child));
  }
}

void Win32FrontEnd::Sync(FormWindow& fw) {
  if (fw.hwnd == nullptr) return;
  Form& form = *fw.form;
  const bool was_syncing = syncing_;
  syncing_ = true;
  SetText(fw.hwnd, form.caption);
  if (form.client_width != fw.client_width || form.client_height != fw.client_height)
    SetFrameSize(fw);
  for (ChildWindow& child : fw.children) {
    const Control& c = *child.control;
    const RECT bounds = Bounds(c);
    if (child.hwnd == nullptr) {
      // Painted by the form: repaint the old and the new place on a change.
      if (!::EqualRect(&bounds, &child.bounds) || child.visible != c.visible ||
          child.position != c.position || child.picture != c.picture) {
        ::InvalidateRect(fw.hwnd, &child.bounds, TRUE);
        ::InvalidateRect(fw.hwnd, &bounds, TRUE);
        child.bounds = bounds;
        child.visible = c.visible;
        child.position = c.position;
        child.picture = c.picture;
      }
      continue;
    }
    const RECT shown = LabelBounds(child.hwnd, c, form.client_width);
    if (!::EqualRect(&shown, &child.bounds)) {
      const int extra = c.kind == ControlKind::kComboBox ? 200 : 0;
      ::MoveWindow(child.hwnd, shown.left, shown.top, shown.right - shown.left,
                   shown.bottom - shown.top + extra, TRUE);
      child.bounds = shown;
    }
    switch (c.kind) {
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
        ShowTreePath(child, c.text);
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
  // The keyboard focus where the form has it, when this form is in front.
  if (form.Visible() && ::IsWindowEnabled(fw.hwnd) && ::GetActiveWindow() == fw.hwnd) {
    ChildWindow* focus = ChildByControl(fw, form.active_control);
    HWND target = focus != nullptr && focus->hwnd != nullptr ? focus->hwnd : fw.hwnd;
    if (::GetFocus() != target) ::SetFocus(target);
  }
  syncing_ = was_syncing;
}

void Win32FrontEnd::FormShown(forms::Form& form) {
  auto& slot = windows_[&form];
  if (slot == nullptr) {
    slot = std::make_unique<FormWindow>();
    slot->form = &form;
    Create(*slot);
  }
  slot->serial = ++serial_;
  FormWindow& fw = *slot;
  if (fw.hwnd == nullptr) return;
  if (form.IsModal()) {
    for (auto& [other, ow] : windows_)
      if (ow.get() != &fw && ow->hwnd != nullptr && ::IsWindowEnabled(ow->hwnd)) {
        ::EnableWindow(ow->hwnd, FALSE);
        fw.disabled.push_back(ow->hwnd);
      }
  }
  Sync(fw);
  ::ShowWindow(fw.hwnd, show_ >= 0 ? show_ : SW_SHOW);
  show_ = -1;  // WinMain's show command is for the first window only
  ::SetForegroundWindow(fw.hwnd);
  ::UpdateWindow(fw.hwnd);
  Sync(fw);
}

void Win32FrontEnd::FormHidden(forms::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  std::unique_ptr<FormWindow> fw = std::move(it->second);
  windows_.erase(it);
  // Give the forms back their input before this one goes, so that the
  // activation falls to the one below.
  for (HWND window : fw->disabled)
    if (::IsWindow(window)) ::EnableWindow(window, TRUE);
  if (fw->hwnd != nullptr) {
    ::ShowWindow(fw->hwnd, SW_HIDE);
    hidden_.push_back(fw->hwnd);
  }
  // Its window may be in the middle of a message: destroyed later.
  graveyard_.push_back(std::move(fw));
  DestroyHidden();
}

void Win32FrontEnd::DestroyHidden() {
  if (dispatch_depth_ > 0) return;
  for (HWND window : hidden_)
    if (::IsWindow(window)) ::DestroyWindow(window);
  hidden_.clear();
  graveyard_.clear();
}

void Win32FrontEnd::FormChanged(forms::Form& form) {
  auto it = windows_.find(&form);
  if (it != windows_.end()) Sync(*it->second);
}

void Win32FrontEnd::Act(FormWindow& fw, const std::function<void()>& action) {
  ++dispatch_depth_;
  forms::App().Guard(action);
  --dispatch_depth_;
  (void)fw;
  // An action may change any shown form (a dialog's answer changes its page).
  std::vector<FormWindow*> shown;
  for (auto& [form, w] : windows_) shown.push_back(w.get());
  for (FormWindow* w : shown) Sync(*w);
}

std::intptr_t Win32FrontEnd::Deliver(HWND__* window, unsigned message, std::uintptr_t wparam,
                                     std::intptr_t lparam, bool* handled) {
  FormWindow* fw = FindWindowOf(window);
  if (fw == nullptr) return 0;
  Form& form = *fw->form;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(window, &ps);
      Paint(*fw, dc);
      ::EndPaint(window, &ps);
      *handled = true;
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      ChildWindow* child = ChildByWindow(*fw, reinterpret_cast<HWND>(lparam));
      if (child == nullptr) return 0;
      if (child->control->kind == ControlKind::kMemo || OnWhite(form, *child->control)) {
        HDC dc = reinterpret_cast<HDC>(wparam);
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        *handled = true;
        return reinterpret_cast<std::intptr_t>(::GetStockObject(WHITE_BRUSH));
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) {
        *handled = true;
        Sync(*fw);
        ChildWindow* focus = ChildByControl(*fw, form.active_control);
        const bool was = syncing_;
        syncing_ = true;
        ::SetFocus(focus != nullptr && focus->hwnd != nullptr ? focus->hwnd : window);
        syncing_ = was;
      }
      return 0;
    case WM_CLOSE:
      *handled = true;
      // Only a frame with a close box can be closed by the user.
      if (form.Visible() && form.system_menu && form.close_box)
        Act(*fw, [&form] { form.CloseByFrame(); });
      return 0;
    case WM_COMMAND: {
      if (syncing_ || lparam == 0) return 0;
      ChildWindow* child = ChildById(*fw, LOWORD(wparam));
      if (child == nullptr) return 0;
      const std::string name = child->control->name;
      const ControlKind kind = child->control->kind;
      HWND hwnd = child->hwnd;
      const unsigned code = HIWORD(wparam);
      *handled = true;
      if (code == BN_SETFOCUS || code == EN_SETFOCUS || code == CBN_SETFOCUS) {
        if (form.active_control != child->control) Act(*fw, [&form, name] { form.Focus(name); });
      } else if (code == BN_CLICKED) {
        if (kind == ControlKind::kButton) {
          Act(*fw, [&form, name] { form.Click(name); });
        } else if (kind == ControlKind::kCheckBox || kind == ControlKind::kRadioButton) {
          const bool checked = ::SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
          Act(*fw, [&form, name, checked, kind] {
            if (kind == ControlKind::kRadioButton)
              form.Click(name);
            else
              form.SetChecked(name, checked);
          });
        }
      } else if ((code == EN_CHANGE || code == EN_KILLFOCUS) && kind == ControlKind::kEdit) {
        const std::string text = WindowText(hwnd);
        if (text != child->control->text)
          Act(*fw, [&form, name, text] { form.TypeText(name, text); });
      } else if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(::SendMessageA(hwnd, CB_GETCURSEL, 0, 0));
        Act(*fw, [&form, name, index] { form.SelectItem(name, index); });
      }
      return 0;
    }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      ChildWindow* child = ChildById(*fw, static_cast<int>(header->idFrom));
      if (child == nullptr || child->control->kind != ControlKind::kTreeView) return 0;
      const std::string name = child->control->name;
      if (header->code == TVN_ITEMEXPANDINGA) {
        const auto* nm = reinterpret_cast<const NMTREEVIEWA*>(lparam);
        if (nm->action & TVE_EXPAND) ReadSubfolders(*child, nm->itemNew.hItem);
        *handled = true;
        return 0;  // FALSE: let it open
      }
      if (syncing_) return 0;
      if (header->code == NM_SETFOCUS) {
        if (form.active_control != child->control) Act(*fw, [&form, name] { form.Focus(name); });
      } else if (header->code == TVN_SELCHANGEDA) {
        const auto* nm = reinterpret_cast<const NMTREEVIEWA*>(lparam);
        const std::string* path = reinterpret_cast<const std::string*>(nm->itemNew.lParam);
        if (path != nullptr) {
          const std::string picked = *path;
          Act(*fw, [&form, name, picked] { form.SelectPath(name, picked); });
        }
      }
      return 0;
    }
    default:
      return 0;
  }
}

// Keys go to the form model before any control sees them: Enter, Escape,
// Tab, Alt+F4 and Alt+letter are the form's business (key preview, default
// and cancel buttons, tab order, accelerators).
bool Win32FrontEnd::PreTranslate(void* raw) {
  MSG& msg = *static_cast<MSG*>(raw);
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  // The top-level window of the key's window (GetAncestor is not on Windows 95).
  HWND root = msg.hwnd;
  while (root != nullptr && (::GetWindowLongA(root, GWL_STYLE) & WS_CHILD) != 0)
    root = ::GetParent(root);
  FormWindow* fw = FindWindowOf(root);
  if (fw == nullptr || !fw->form->Visible()) return false;
  Form& form = *fw->form;
  forms::ShiftState shift;
  shift.shift = ::GetKeyState(VK_SHIFT) < 0;
  shift.ctrl = ::GetKeyState(VK_CONTROL) < 0;
  shift.alt = msg.message == WM_SYSKEYDOWN || ::GetKeyState(VK_MENU) < 0;
  const WPARAM vk = msg.wParam;
  // An open drop-down list takes Enter and Escape itself.
  char class_name[32] = {};
  ::GetClassNameA(msg.hwnd, class_name, sizeof class_name);
  const bool dropped = std::string(class_name) == "ComboBox" &&
                       ::SendMessageA(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
  forms::Key key = forms::Key::kOther;
  if (vk == VK_RETURN && !dropped) key = forms::Key::kEnter;
  if (vk == VK_ESCAPE && !dropped) key = forms::Key::kEscape;
  if (vk == VK_TAB) key = forms::Key::kTab;
  if (vk == VK_F4 && shift.alt) key = forms::Key::kF4;
  if (key != forms::Key::kOther) {
    Act(*fw, [&form, key, shift] { form.KeyDown(key, shift); });
    return true;
  }
  if (msg.message == WM_SYSKEYDOWN && ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))) {
    bool pressed = false;
    Act(*fw, [&form, &pressed, vk] { pressed = form.PressAccelerator(static_cast<char>(vk)); });
    return pressed;
  }
  return false;
}

bool Win32FrontEnd::HandleMessage() {
  DestroyHidden();
  MSG message;
  bool any_shown = false;
  for (auto& [form, fw] : windows_)
    if (fw->hwnd != nullptr && ::IsWindowVisible(fw->hwnd)) any_shown = true;
  if (!any_shown) {
    // No window of ours can get input: only what is already queued.
    if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) return false;
  } else if (::GetMessageA(&message, nullptr, 0, 0) <= 0) {
    return false;
  }
  if (PreTranslate(&message)) return true;
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
  return true;
}

void Win32FrontEnd::ProcessMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the loop that waits for it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (PreTranslate(&message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

int Win32FrontEnd::MessageBox(const std::string& text, const std::string& caption,
                              unsigned flags) {
  FormWindow* front = Front();
  return ::MessageBoxA(front != nullptr ? front->hwnd : nullptr, Z(text), Z(caption), flags);
}

}  // namespace qr5::platform::win32
