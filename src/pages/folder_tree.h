// The folder tree of the browse dialog: drives and their folders, read from
// the disk when an entry is first expanded, plus entries for folders the
// user asked for that do not exist yet.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qr5::pages {

struct FolderNode {
  std::string name;  // "C:\" for a drive, the folder's own name below it
  FolderNode* parent = nullptr;
  std::vector<std::unique_ptr<FolderNode>> children;  // sorted by name
  bool children_read = false;  // subfolders read from the disk
  bool expanded = false;
  bool is_new = false;  // exists only in the tree, not on the disk

  // Joins the entries from the drive: C:\ for a drive, C:\Apps below it.
  std::string Path() const;
  int Depth() const;
};

class FolderTree {
 public:
  // Raised after every change of the selection, when SelectedFolder()
  // already gives the new folder.
  std::function<void()> on_change;

  // The drives present, A to Z in letter order (read on first use).
  const std::vector<std::unique_ptr<FolderNode>>& Drives();

  // Shows the entry's subfolders, reading them on the first expansion.
  void Expand(FolderNode& node);
  // Hides the entry's subfolders; a selection below it moves to the entry.
  void Collapse(FolderNode& node);

  FolderNode* Selected() const { return selected_; }
  // The selected entry's full path; empty when nothing is selected.
  std::string SelectedFolder() const;
  void Select(FolderNode* node);

  // The entry for a path (a drive such as C: or C:\, or a folder below
  // one), expanding the entries on the way; null when some component has no
  // entry. Letter case does not matter.
  FolderNode* Find(const std::string& path);

  // Clears the selection, then walks the path's components from the drive,
  // expanding each entry on the way. A component without an entry stops
  // the walk, unless add_missing is set: then a new entry is added for it
  // (no folder is made on disk) and the walk goes on. Selects the last entry
  // found or added. Adding entries drops earlier new entries that are off
  // the path now selected.
  void MoveTo(const std::string& path, bool add_missing);

  // Drives, and the children of every expanded entry, in display order.
  std::vector<FolderNode*> VisibleNodes();
  // One line of a textual rendering: two spaces per level, "[-]" for an
  // expanded entry, "[+]" for one that may have subfolders, blanks for one
  // without, then the name; a new entry is marked "(new)".
  static std::string DisplayLine(const FolderNode& node);

 private:
  void ReadDrives();
  void ReadChildren(FolderNode& node);
  FolderNode* FindChild(FolderNode& parent, const std::string& name);
  FolderNode* FindDrive(const std::string& component);
  FolderNode* AddNewChild(FolderNode& parent, const std::string& name);
  void DropNewEntriesOffPath();

  bool drives_read_ = false;
  std::vector<std::unique_ptr<FolderNode>> drives_;
  FolderNode* selected_ = nullptr;
};

}  // namespace qr5::pages
