#include "pages/folder_tree.h"

#include <algorithm>

#include "lang/strip_trailing_backslash.h"
#include "platform/platform.h"

namespace qr5::pages {

namespace {

// Folder names compare as Windows compares them, in the letter case of the
// machine's code page ("\xe4rger" finds "\xc4rger").
std::string UpperName(const std::string& name) { return platform::Sys().system->UpperCase(name); }

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperName(a) == UpperName(b);
}

// Case-insensitive order, exact order between names that differ only in case.
bool NameLess(const std::string& a, const std::string& b) {
  const std::string ua = UpperName(a), ub = UpperName(b);
  const size_t n = std::min(ua.size(), ub.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(ua[i]);
    const unsigned char y = static_cast<unsigned char>(ub[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

bool IsDriveComponent(const std::string& component) {
  const char letter = component.empty() ? '\0' : UpperName(component.substr(0, 1))[0];
  return (component.size() == 2 || (component.size() == 3 && component[2] == '\\')) &&
         letter >= 'A' && letter <= 'Z' && component[1] == ':';
}

// Split at the backslashes that are characters of their own (a trail byte
// 0x5C of a double-byte character is not one).
std::vector<std::string> SplitPath(const std::string& path) {
  platform::SystemInfo& system = *platform::Sys().system;
  std::vector<std::string> parts;
  std::string part;
  for (size_t at = 0; at < path.size();) {
    const size_t length = at + 1 < path.size() && system.IsLeadByte(path[at]) ? 2 : 1;
    if (length == 1 && path[at] == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.append(path, at, length);
    }
    at += length;
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

void InsertSorted(std::vector<std::unique_ptr<FolderNode>>& list,
                  std::unique_ptr<FolderNode> node) {
  auto at = std::upper_bound(list.begin(), list.end(), node->name,
                             [](const std::string& name, const std::unique_ptr<FolderNode>& n) {
                               return NameLess(name, n->name);
                             });
  list.insert(at, std::move(node));
}

bool OnPath(const FolderNode* node, const FolderNode* leaf) {
  for (const FolderNode* n = leaf; n != nullptr; n = n->parent) {
    if (n == node) return true;
  }
  return false;
}

}  // namespace

std::string FolderNode::Path() const {
  if (parent == nullptr) return name;
  return lang::StripTrailingBackslash(parent->Path()) + "\\" + name;
}

int FolderNode::Depth() const {
  int depth = 0;
  for (const FolderNode* n = parent; n != nullptr; n = n->parent) ++depth;
  return depth;
}

const std::vector<std::unique_ptr<FolderNode>>& FolderTree::Drives() {
  if (!drives_read_) ReadDrives();
  return drives_;
}

void FolderTree::ReadDrives() {
  drives_read_ = true;
  const std::string strings = platform::Sys().files->GetLogicalDriveStrings();
  size_t start = 0;
  while (start < strings.size()) {
    size_t end = strings.find('\0', start);
    if (end == std::string::npos) end = strings.size();
    const std::string root = strings.substr(start, end - start);
    start = end + 1;
    if (!IsDriveComponent(root.substr(0, 2))) continue;
    const std::string name = UpperName(root.substr(0, 1)) + ":\\";
    const bool known = std::any_of(drives_.begin(), drives_.end(),
                                   [&](const auto& d) { return d->name == name; });
    if (known) continue;
    auto node = std::make_unique<FolderNode>();
    node->name = name;
    InsertSorted(drives_, std::move(node));
  }
}

void FolderTree::ReadChildren(FolderNode& node) {
  node.children_read = true;
  if (node.is_new) return;
  platform::FileSystem& fs = *platform::Sys().files;
  const std::string mask = lang::StripTrailingBackslash(node.Path()) + "\\*.*";
  const uint32_t old_mode = fs.SetErrorMode(platform::SEM_FAILCRITICALERRORS);
  std::unique_ptr<platform::FileSearch> search =
      fs.FindFirst(mask, platform::FILE_ATTRIBUTE_DIRECTORY | platform::FILE_ATTRIBUTE_HIDDEN |
                             platform::FILE_ATTRIBUTE_SYSTEM | platform::FILE_ATTRIBUTE_READONLY |
                             platform::FILE_ATTRIBUTE_ARCHIVE);
  if (search) {
    do {
      const platform::FindData& found = search->Current();
      const uint32_t hidden_system =
          platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM;
      if ((found.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
      if (found.name == "." || found.name == ".." || found.name.empty()) continue;
      if ((found.attributes & hidden_system) == hidden_system) continue;
      if (FindChild(node, found.name) != nullptr) continue;
      auto child = std::make_unique<FolderNode>();
      child->name = found.name;
      child->parent = &node;
      InsertSorted(node.children, std::move(child));
    } while (search->Next());
  }
  fs.SetErrorMode(old_mode);
}

void FolderTree::Expand(FolderNode& node) {
  if (!node.children_read) ReadChildren(node);
  node.expanded = true;
}

void FolderTree::Collapse(FolderNode& node) {
  node.expanded = false;
  // A selection hidden by the close moves up to the closed entry, as a tree
  // view moves it.
  if (selected_ != nullptr && selected_ != &node && OnPath(&node, selected_)) Select(&node);
}

std::string FolderTree::SelectedFolder() const {
  return selected_ == nullptr ? std::string() : selected_->Path();
}

void FolderTree::Select(FolderNode* node) {
  if (node == selected_) return;
  selected_ = node;
  if (on_change) on_change();
}

FolderNode* FolderTree::FindChild(FolderNode& parent, const std::string& name) {
  for (auto& child : parent.children) {
    if (SameText(child->name, name)) return child.get();
  }
  return nullptr;
}

FolderNode* FolderTree::FindDrive(const std::string& component) {
  if (!IsDriveComponent(component)) return nullptr;
  const std::string name = UpperName(component.substr(0, 1)) + ":\\";
  for (int attempt = 0; attempt < 2; ++attempt) {
    for (auto& drive : Drives()) {
      if (drive->name == name) return drive.get();
    }
    // A drive that appeared since the list was read (a card, a network
    // drive) is added rather than refused.
    ReadDrives();
  }
  return nullptr;
}

FolderNode* FolderTree::AddNewChild(FolderNode& parent, const std::string& name) {
  auto child = std::make_unique<FolderNode>();
  child->name = name;
  child->parent = &parent;
  child->is_new = true;
  child->children_read = true;
  FolderNode* added = child.get();
  InsertSorted(parent.children, std::move(child));
  return added;
}

FolderNode* FolderTree::Find(const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path);
  if (parts.empty()) return nullptr;
  FolderNode* node = FindDrive(parts[0]);
  for (size_t i = 1; node != nullptr && i < parts.size(); ++i) {
    Expand(*node);
    node = FindChild(*node, parts[i]);
  }
  return node;
}

void FolderTree::MoveTo(const std::string& path, bool add_missing) {
  Select(nullptr);
  const std::vector<std::string> parts = SplitPath(path);
  if (parts.empty()) return;
  FolderNode* node = FindDrive(parts[0]);
  if (node == nullptr) return;
  bool added = false;
  for (size_t i = 1; i < parts.size(); ++i) {
    Expand(*node);
    FolderNode* next = FindChild(*node, parts[i]);
    if (next == nullptr) {
      if (!add_missing) break;
      next = AddNewChild(*node, parts[i]);
      added = true;
    }
    node = next;
  }
  Select(node);
  if (added) DropNewEntriesOffPath();
}

void FolderTree::DropNewEntriesOffPath() {
  std::vector<FolderNode*> stack;
  for (auto& drive : drives_) stack.push_back(drive.get());
  while (!stack.empty()) {
    FolderNode* node = stack.back();
    stack.pop_back();
    auto& kids = node->children;
    kids.erase(std::remove_if(kids.begin(), kids.end(),
                              [&](const std::unique_ptr<FolderNode>& child) {
                                return child->is_new && !OnPath(child.get(), selected_);
                              }),
               kids.end());
    for (auto& child : kids) stack.push_back(child.get());
  }
}

std::vector<FolderNode*> FolderTree::VisibleNodes() {
  std::vector<FolderNode*> out;
  std::function<void(FolderNode&)> walk = [&](FolderNode& node) {
    out.push_back(&node);
    if (!node.expanded) return;
    for (auto& child : node.children) walk(*child);
  };
  for (auto& drive : Drives()) walk(*drive);
  return out;
}

std::string FolderTree::DisplayLine(const FolderNode& node) {
  std::string line(static_cast<size_t>(node.Depth()) * 2, ' ');
  if (node.expanded && !node.children.empty()) {
    line += "[-] ";
  } else if (!node.children_read || !node.children.empty()) {
    line += "[+] ";
  } else {
    line += "    ";
  }
  line += node.name;
  if (node.is_new) line += " (new)";
  return line;
}

}  // namespace qr5::pages
