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

bool Digits(const std::string& text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The names of the private folders below system_temp but own_folder's.
std::vector<std::string> OtherRunFolders(const std::string& system_temp, const std::string& prefix,
                                         const std::string& own_folder) {
  std::vector<std::string> names;
  if (system_temp.empty() || system_temp.back() != '\\') return names;
  SystemInfo& system = *Sys().system;
  const std::string own = system.UpperCase(own_folder);
  auto search = Sys().files->FindFirst(system_temp + prefix + "*", FILE_ATTRIBUTE_DIRECTORY);
  for (bool more = search != nullptr; more; more = search->Next()) {
    const FindData& found = search->Current();
    const std::string name = found.name;
    if ((found.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name.size() <= prefix.size()) continue;
    if (system.UpperCase(name.substr(0, prefix.size())) != system.UpperCase(prefix)) continue;
    if (!Digits(name.substr(prefix.size()))) continue;
    if (system.UpperCase(system_temp + name + "\\") == own) continue;
    names.push_back(name);
  }
  return names;
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
  for (const std::string& name : OtherRunFolders(system_temp, prefix, own_folder)) {
    if (Sys().processes->OpenMutex(RunMutexName(name))) return true;
  }
  return false;
}

int RemoveEndedPrivateTempFolders(const std::string& system_temp, const std::string& prefix,
                                  const std::string& own_folder) {
  int left = 0;
  for (const std::string& name : OtherRunFolders(system_temp, prefix, own_folder)) {
    if (Sys().processes->OpenMutex(RunMutexName(name))) continue;
    const std::string folder = system_temp + name + "\\";
    DeleteFolderContents(folder, TreeFailure::kSkip);
    if (!Sys().files->RemoveDirectory(system_temp + name)) ++left;
  }
  return left;
}

}  // namespace qr5::platform
