// The form window's procedure: painting, activation, closing, and the
// controls' notifications (clicks, focus, edits, selections), each turned
// into the form model's call.
#include "front_ends/win32/win32_form_window.h"

namespace qr5::front_ends::win32 {

using forms::ControlKind;
using forms::Form;

std::intptr_t Win32FrontEnd::Deliver(HWND__* window, unsigned message, std::uintptr_t wparam,
                                     std::intptr_t lparam, bool* handled) {
  FormWindow* fw = FindWindowOf(window);
  if (fw == nullptr) {
    // A window whose form is gone (hidden, about to be destroyed) is closed
    // by nobody but this front end: a close passed on would destroy it and
    // the windows it owns.
    if (message == WM_CLOSE || (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE))
      *handled = true;
    return 0;
  }
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
      HBRUSH brush = StaticBackground(form, *child->control, reinterpret_cast<HDC>(wparam));
      if (brush == nullptr) return 0;
      *handled = true;
      return reinterpret_cast<std::intptr_t>(brush);
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
    case WM_SYSCOMMAND:
      // SC_CLOSE would come back as WM_CLOSE; the model answers it at once.
      if ((wparam & 0xFFF0) != SC_CLOSE) return 0;
      [[fallthrough]];
    case WM_CLOSE:
      *handled = true;
      // The form decides: a frame without a close box refuses.
      if (form.Visible()) Act(*fw, [&form] { form.CloseByFrame(); });
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
      if (syncing_) return 0;
      if (header->code == TVN_ITEMEXPANDINGA) {
        // The model opens or closes the entry (and reads its subfolders);
        // the view follows it, or keeps the entry as it is when refused.
        const auto* nm = reinterpret_cast<const NMTREEVIEWA*>(lparam);
        const std::string* path = TreePath(child->hwnd, nm->itemNew.hItem);
        const bool expand = (nm->action & TVE_EXPAND) != 0;
        bool done = false;
        if (path != nullptr) {
          const std::string target = *path;
          child->notifying = nm->itemNew.hItem;
          Act(*fw, [&form, &done, name, target, expand] {
            done = form.ExpandPath(name, target, expand);
          });
          // The child may be gone if the form was closed meanwhile.
          if (ChildWindow* still = ChildById(*fw, static_cast<int>(header->idFrom)))
            still->notifying = nullptr;
        }
        *handled = true;
        return done ? FALSE : TRUE;  // FALSE lets the view open or close it
      }
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

}  // namespace qr5::front_ends::win32
