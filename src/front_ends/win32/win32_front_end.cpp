// The Windows front end's windows and frames: every shown form is a real
// top-level window whose frame style and size come from the form, with one
// child window per control; the windows are created when a form is first
// shown, synced after every change and destroyed once no message of theirs is
// in progress. The control kinds, the folder tree, painting, the window
// procedure's messages and the keys have files of their own.
#include "front_ends/win32/win32_front_end.h"

#include "front_ends/win32/win32_form_window.h"
#include "front_ends/win32/win32_scaling.h"

namespace qr5::front_ends::win32 {

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

}  // namespace

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

RECT Bounds(const Control& c) {
  return PxRect(c.left, c.top, c.left + c.width, c.top + c.height);
}

void SetFrameSize(FormWindow& fw) {
  const Form& form = *fw.form;
  const WindowStyle s = FrameStyle(form);
  RECT r{0, 0, Px(form.client_width), Px(form.client_height)};
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

Win32FrontEnd::Win32FrontEnd(HINSTANCE__* instance, int show) : instance_(instance), show_(show) {
  g_front_end = this;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&common);
  WNDCLASSA wc{};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  // Icon 1 is the suite's, which the build gives every shipped program; a
  // test program without it shows the system's.
  wc.hIcon = ::LoadIconA(instance_, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(1)));
  if (wc.hIcon == nullptr) wc.hIcon = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
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
  ::SendMessageA(fw.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
  SetFrameSize(fw);
  int id = kFirstControlId;
  for (const auto& control : form.Controls()) {
    ChildWindow child;
    child.control = control.get();
    child.id = id++;
    const Control& c = *control;
    if (!Painted(c.kind)) {
      child.hwnd = CreateControlWindow(fw.hwnd, instance_, child);
      if (child.hwnd != nullptr && c.kind == ControlKind::kTreeView) SetTreeIcons(child);
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
  if (WindowText(fw.hwnd) != form.caption) ::SetWindowTextA(fw.hwnd, Z(form.caption));
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
    SyncControl(child, form.client_width, form.DefaultFramed() == &c);
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
  if (!form.UserCanClose() && fw->hwnd != nullptr) {
    // The keys typed at it are its own: left unread they went to the next
    // page (Alt+F4 there ended the setup). Those already queued go now; those
    // still to be read (Wine reads X events later) are known by their time.
    typed_for_gone_page_ = ::GetTickCount() | 1;
    MSG typed;
    while (::PeekMessageA(&typed, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
  }
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
int Win32FrontEnd::MessageBox(const std::string& text, const std::string& caption,
                              unsigned flags) {
  FormWindow* front = Front();
  return ::MessageBoxA(front != nullptr ? front->hwnd : nullptr, Z(text), Z(caption), flags);
}

}  // namespace qr5::front_ends::win32
