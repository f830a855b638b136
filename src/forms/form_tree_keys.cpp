// The keys of a folder tree, as in Windows' own tree views: moving the
// selection never opens an entry; Right and "+" open, Left and "-" close,
// Left on a closed entry goes to its parent, Right on an open one to its
// first child, and a typed letter selects the next entry of that initial.
#include <cctype>
#include <string>

#include "forms/application.h"
#include "forms/form.h"

namespace qr5::forms {

namespace {

int Upper(char c) { return std::toupper(static_cast<unsigned char>(c)); }

}  // namespace

void Form::TreeKey(Key key) {
  const Control& tree = *active_control;
  const std::string name = tree.name;
  const std::vector<TreeEntry> shown = tree.tree;  // handlers rebuild it
  const int count = static_cast<int>(shown.size());
  const int at = tree.item_index;
  if (count == 0) return;
  std::string select, open, close;
  if (at < 0 || at >= count) {
    select = shown[0].path;
  } else {
    const TreeEntry& here = shown[at];
    switch (key) {
      case Key::kUp:
        if (at > 0) select = shown[at - 1].path;
        break;
      case Key::kDown:
        if (at + 1 < count) select = shown[at + 1].path;
        break;
      case Key::kRight:
        if (!here.expanded && here.may_have_children)
          open = here.path;
        else if (here.expanded && at + 1 < count && shown[at + 1].depth > here.depth)
          select = shown[at + 1].path;
        break;
      case Key::kLeft:
        if (here.expanded) {
          close = here.path;
        } else {
          for (int i = at - 1; i >= 0 && select.empty(); --i)
            if (shown[i].depth < here.depth) select = shown[i].path;
        }
        break;
      default:
        break;
    }
  }
  App().Guard([&] {
    if (!select.empty()) SelectPath(name, select);
    if (!open.empty()) ExpandPath(name, open, true);
    if (!close.empty()) ExpandPath(name, close, false);
  });
}

bool Form::TreeChar(char letter) {
  const Control& tree = *active_control;
  const std::string name = tree.name;
  const std::vector<TreeEntry> shown = tree.tree;
  const int count = static_cast<int>(shown.size());
  const int at = tree.item_index;
  if (count == 0 || !tree.enabled || !tree.visible) return false;
  if (letter == '+' || letter == '-') {
    if (at < 0 || at >= count) return true;
    const std::string path = shown[at].path;
    App().Guard([&] { ExpandPath(name, path, letter == '+'); });
    return true;
  }
  // The next entry after the selected one whose name starts so, round.
  for (int step = 1; step <= count; ++step) {
    const TreeEntry& entry = shown[(at + step + count) % count];
    if (!entry.name.empty() && Upper(entry.name[0]) == Upper(letter)) {
      const std::string path = entry.path;
      App().Guard([&] { SelectPath(name, path); });
      return true;
    }
  }
  return true;  // the tree takes letters even when none matches
}

}  // namespace qr5::forms
