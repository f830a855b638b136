// Removing the suite's files from the install folder by the suite's list:
// never a whole tree, never a file the user changed or made, and of the
// folders only those that the removal left empty. The installed uninstaller
// goes last, and comes back when the records cannot go, so that what is
// left can still be removed.
#pragma once

#include <set>
#include <string>

#include "uninstall/removal_result.h"

namespace qr5::uninstall {

class SuiteFileRemoval {
 public:
  // own_exe: the running program, whose bytes tell the installed
  // uninstaller as ours.
  SuiteFileRemoval(std::string dir, std::string own_exe, RemovalResult& result);

  // Every file of the list that is unchanged, and KAVO5.DLL when it has the
  // bytes the build ships and the folder holds our uninstaller (the setup
  // put both there; a library of these bytes elsewhere, such as beside the
  // setup on its medium, is not this installation's).
  void RemoveFiles(const RemovalProgress& progress);
  // The installed uninstaller when it has the running program's bytes (a
  // running program's own file cannot go: then it is left).
  void RemoveUninstaller();
  // The folders the removal emptied (in a folder with our uninstaller,
  // every folder of the list), deepest first, then the install folder
  // (never a drive root). A folder that still holds something stays.
  void RemoveFolders();
  // Puts the uninstaller back when RemoveUninstaller took it.
  void RestoreUninstaller();

 private:
  void Delete(const std::string& relative);
  void NoteFolders(const std::string& relative);
  void RemoveFolder(const std::string& path);

  std::string dir_;
  std::string own_exe_;
  RemovalResult& result_;
  bool uninstaller_ours_ = false;
  bool uninstaller_removed_ = false;
  bool any_removed_ = false;
  // Folders below dir to remove when empty, upper-cased so that
  // the letter case of the list and of the disk do not count twice.
  std::set<std::string> folders_;
};

}  // namespace qr5::uninstall
