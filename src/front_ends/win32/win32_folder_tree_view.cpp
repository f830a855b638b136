// The browse dialog's folder tree as a Windows tree view. The view shows the
// control's entries and nothing else: what the form model lists, in its
// order, opened where it is open, with the model's selection. Opening and
// closing by the user go to the model (which reads the disk) and come back
// through the next sync.
#include <set>

#include "front_ends/win32/win32_form_window.h"

#include <shellapi.h>

namespace qr5::front_ends::win32 {

using forms::TreeEntry;

namespace {

// The system's small icon for an entry. A folder's icon comes from its
// attributes alone (the shell opens nothing, and a folder not yet on the
// disk gets the folder icon too); a drive's from the drive.
int SystemIcon(const TreeEntry& entry, bool open) {
  SHFILEINFOA info{};
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
  if (entry.depth > 0) flags |= SHGFI_USEFILEATTRIBUTES;
  if (::SHGetFileInfoA(Z(entry.path), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags) == 0)
    return 0;
  return info.iIcon;
}

HTREEITEM Next(HWND tree, HTREEITEM item, WPARAM relation) {
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::vector<HTREEITEM> ChildItems(HWND tree, HTREEITEM parent) {
  std::vector<HTREEITEM> items;
  HTREEITEM item = parent == TVI_ROOT ? Next(tree, nullptr, TVGN_ROOT) : Next(tree, parent, TVGN_CHILD);
  for (; item != nullptr; item = Next(tree, item, TVGN_NEXT)) items.push_back(item);
  return items;
}

void SetItem(TVITEMA& tv, const TreeEntry& entry) {
  tv.mask |= TVIF_TEXT | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  tv.pszText = const_cast<char*>(entry.name.c_str());
  tv.cChildren = entry.may_have_children ? 1 : 0;
  tv.iImage = SystemIcon(entry, false);
  tv.iSelectedImage = entry.depth == 0 ? tv.iImage : SystemIcon(entry, true);
}

HTREEITEM Insert(ChildWindow& child, HTREEITEM parent, HTREEITEM after, const TreeEntry& entry) {
  child.paths.push_back(std::make_unique<std::string>(entry.path));
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_PARAM;
  insert.item.lParam = reinterpret_cast<LPARAM>(child.paths.back().get());
  SetItem(insert.item, entry);
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageA(child.hwnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// An entry already shown gets new looks only when its text or its button
// changed, so that an unchanged entry costs no icon look-up.
void Update(ChildWindow& child, HTREEITEM item, const TreeEntry& entry) {
  char text[MAX_PATH] = {};
  TVITEMA current{};
  current.mask = TVIF_TEXT | TVIF_CHILDREN;
  current.hItem = item;
  current.pszText = text;
  current.cchTextMax = sizeof text;
  ::SendMessageA(child.hwnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&current));
  if (entry.name == text && (current.cChildren != 0) == entry.may_have_children) return;
  TVITEMA tv{};
  tv.hItem = item;
  SetItem(tv, entry);
  ::SendMessageA(child.hwnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

void SetOpen(ChildWindow& child, HTREEITEM item, bool open) {
  if (item == child.notifying) return;  // the view is doing it
  const UINT state = static_cast<UINT>(::SendMessageA(
      child.hwnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED));
  if (((state & TVIS_EXPANDED) != 0) == open) return;
  ::SendMessageA(child.hwnd, TVM_EXPAND, open ? TVE_EXPAND : TVE_COLLAPSE,
                 reinterpret_cast<LPARAM>(item));
}

// Brings the items below parent in line with the entries of one level,
// starting at entries[at]; leaves at behind the last entry of the level.
void SyncLevel(ChildWindow& child, HTREEITEM parent, int depth, size_t& at,
               HTREEITEM* selected) {
  const std::vector<TreeEntry>& entries = child.control->tree;
  const std::vector<HTREEITEM> existing = ChildItems(child.hwnd, parent);
  std::set<HTREEITEM> kept;
  size_t scan = 0;  // the model keeps its order, so items are found in turn
  HTREEITEM after = TVI_FIRST;
  while (at < entries.size() && entries[at].depth == depth) {
    const TreeEntry& entry = entries[at];
    const size_t index = at++;
    HTREEITEM item = nullptr;
    for (size_t i = scan; i < existing.size() && item == nullptr; ++i) {
      const std::string* path = TreePath(child.hwnd, existing[i]);
      if (path != nullptr && *path == entry.path) {
        item = existing[i];
        scan = i + 1;
      }
    }
    if (item == nullptr) {
      item = Insert(child, parent, after, entry);
      if (item == nullptr) continue;
    } else {
      Update(child, item, entry);
    }
    kept.insert(item);
    after = item;
    if (static_cast<int>(index) == child.control->item_index) *selected = item;
    if (entry.expanded) SyncLevel(child, item, depth + 1, at, selected);
    // Entries deeper than the next level belong to no shown parent: skip.
    while (at < entries.size() && entries[at].depth > depth + 1) ++at;
    SetOpen(child, item, entry.expanded);
  }
  for (HTREEITEM item : existing)
    if (kept.count(item) == 0)
      ::SendMessageA(child.hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

}  // namespace

const std::string* TreePath(HWND tree, HTREEITEM item) {
  if (item == nullptr) return nullptr;
  TVITEMA tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  return reinterpret_cast<const std::string*>(tv.lParam);
}

void SetTreeIcons(ChildWindow& child) {
  SHFILEINFOA info{};
  const HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoA("C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
  if (icons != nullptr)
    ::SendMessageA(child.hwnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
}

void SyncTree(ChildWindow& child) {
  size_t at = 0;
  HTREEITEM selected = nullptr;
  SyncLevel(child, TVI_ROOT, 0, at, &selected);
  const HTREEITEM caret = Next(child.hwnd, nullptr, TVGN_CARET);
  if (caret != selected) {
    ::SendMessageA(child.hwnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));
    if (selected != nullptr)
      ::SendMessageA(child.hwnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(selected));
  }
}

}  // namespace qr5::front_ends::win32
