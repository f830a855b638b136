// The browse dialog's folder tree as a Windows tree view: the drives at the
// root, each entry's subfolders read when it is opened, and the entry of the
// control's path selected with the entries on the way opened.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/win32/win32_form_window.h"

#include <shellapi.h>

namespace qr5::platform::win32 {

namespace {

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string JoinPath(const std::string& parent, const std::string& name) {
  return !parent.empty() && parent.back() == '\\' ? parent + name : parent + "\\" + name;
}

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

}  // namespace

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

}  // namespace qr5::platform::win32
