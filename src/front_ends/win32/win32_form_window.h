// What the Windows front end keeps for each shown form: its top-level window
// and one child window per control that has one, with what was last put into
// each, so that a sync touches only what changed. Shared by the front end's
// files (frames, controls, folder tree, painting, keys).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"
#include "front_ends/win32/win32_front_end.h"

#include <commctrl.h>

namespace qr5::front_ends::win32 {

using platform::win32::Z;  // the machine's C-string helper for API calls

// One control's window and what was last put into it.
struct ChildWindow {
  forms::Control* control = nullptr;
  HWND hwnd = nullptr;
  int id = 0;
  RECT bounds{};
  bool visible = true;
  int position = -1;
  std::string picture;
  std::vector<std::string> items;
  // Tree view: the full path of each entry (an entry's lParam points here),
  // and the entry whose opening or closing is being notified (the view
  // itself changes it once the notification returns).
  std::vector<std::unique_ptr<std::string>> paths;
  HTREEITEM notifying = nullptr;
};

struct FormWindow {
  forms::Form* form = nullptr;
  HWND hwnd = nullptr;
  std::vector<ChildWindow> children;
  std::vector<HWND> disabled;  // other forms disabled while this modal one is up
  int client_width = 0, client_height = 0;
  int serial = 0;  // order of showing
};

ChildWindow* ChildById(FormWindow& fw, int id);
ChildWindow* ChildByWindow(FormWindow& fw, HWND window);
ChildWindow* ChildByControl(FormWindow& fw, const forms::Control* control);

// The control's place in the window, in screen pixels.
RECT Bounds(const forms::Control& c);

// ---- frames (win32_frames.cpp) ----

// Sizes the frame so that its client area is the form's (in screen pixels),
// centred if asked.
void SetFrameSize(FormWindow& fw);

// ---- controls (win32_controls.cpp) ----

// Controls without a window of their own: the form paints them.
bool Painted(forms::ControlKind kind);
// MS Sans Serif 8 point at the screen's density, the font of the frames and
// most controls.
HFONT DialogFont();
std::string WindowText(HWND window);
// Creates the child window of a control that has one; nullptr on failure.
HWND CreateControlWindow(HWND parent, HINSTANCE instance, const ChildWindow& child);
// Brings a control's window in line with the control's data (client_width
// in the model's units).
void SyncControl(ChildWindow& child, int client_width, bool default_framed);

// ---- the folder tree view (win32_folder_tree_view.cpp) ----

// Gives a new tree view the system's small icons.
void SetTreeIcons(ChildWindow& child);
// Brings the tree view in line with the control's entries and selection:
// entries are added, updated, opened, closed and removed; the view reads
// nothing from the disk.
void SyncTree(ChildWindow& child);
// The full path of a tree view entry; null for none.
const std::string* TreePath(HWND tree, HTREEITEM item);

// ---- painting (win32_painting.cpp) ----

void Paint(FormWindow& fw, HDC dc);
// The brush for a static control's background (white on the form's white
// bands and for the memo), or nullptr for the default.
HBRUSH StaticBackground(const forms::Form& form, const forms::Control& c, HDC dc);

}  // namespace qr5::front_ends::win32
