#include "platform/private_temp_folder.h"

#include <vector>

#include "platform/file_deletion.h"
#include "platform/platform.h"

namespace qr5::platform {

namespace {

// Enough for the copies of a setup that can run at once and the folders
// crashed runs may have left.
constexpr int kFolderNumbers = 1000;

// Taken before the folder is made, so no folder of a live run is ever
// without it.
std::string RunMutexName(const std::string& folder_name) { return folder_name + " run"; }

// The private folders below system_temp but own_folder's (the search is
// without regard to case, as the names are made): those whose runs have
// ended are deleted when remove is set. Returns how many of those stay, or
// -1 as soon as one of a running copy is found when remove is not set.
int SweepRunFolders(const std::string& system_temp, const std::string& prefix, const std::string& own_folder,
                    bool remove) {
  if (system_temp.empty() || system_temp.back() != '\\') return 0;
  std::vector<std::string> ended;
  auto search = Sys().files->FindFirst(system_temp + prefix + "*", FILE_ATTRIBUTE_DIRECTORY);
  for (bool more = search != nullptr; more; more = search->Next()) {
    const std::string& name = search->Current().name;
    if ((search->Current().attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name.size() <= prefix.size() ||
        name.find_first_not_of("0123456789", prefix.size()) != std::string::npos ||
        system_temp + name + "\\" == own_folder) {
      continue;
    }
    if (Sys().processes->OpenMutex(RunMutexName(name))) {
      if (!remove) return -1;
    } else if (remove) {
      ended.push_back(name);
    }
  }
  search.reset();
  int left = 0;
  for (const std::string& name : ended) {
    DeleteFolderContents(system_temp + name + "\\", TreeFailure::kSkip);
    left += Sys().files->RemoveDirectory(system_temp + name) ? 0 : 1;
  }
  return left;
}

}  // namespace

std::string MakePrivateTempFolder(const std::string& system_temp, const std::string& prefix) {
  if (system_temp.empty() || system_temp.back() != '\\') return "";
  FileSystem& files = *Sys().files;
  for (int n = 0; n < kFolderNumbers; ++n) {
    const std::string name = prefix + std::to_string(n);
    const std::string folder = system_temp + name;
    // A folder left by an ended run keeps its number: its mutex taken by
    // this run would make it look alive.
    if (files.GetFileAttributes(folder) != INVALID_FILE_ATTRIBUTES) continue;
    if (!Sys().processes->CreateMutex(RunMutexName(name))) return "";
    if (files.CreateDirectory(folder)) return folder + "\\";
    // Taken by another run (or a file): try the next number. Any other
    // failure (no such drive, no rights) will not go away with another name.
    if (files.GetLastError() != ERROR_ALREADY_EXISTS) return "";
  }
  return "";
}

void DeletePrivateTempFolder(const std::string& folder) {
  if (folder.empty() || folder.back() != '\\') return;
  FileSystem& files = *Sys().files;
  // Twice: a file a virus scanner held for a moment goes the second time.
  // What stays is removed by a later run, once this run has ended.
  for (int attempt = 0; attempt < 2; ++attempt) {
    DeleteFolderContents(folder, TreeFailure::kSkip);
    if (files.RemoveDirectory(folder.substr(0, folder.size() - 1))) return;
  }
}

bool OtherRunsAlive(const std::string& system_temp, const std::string& prefix, const std::string& own_folder) {
  return SweepRunFolders(system_temp, prefix, own_folder, false) < 0;
}

int RemoveEndedPrivateTempFolders(const std::string& system_temp, const std::string& prefix,
                                  const std::string& own_folder) {
  return SweepRunFolders(system_temp, prefix, own_folder, true);
}

}  // namespace qr5::platform
