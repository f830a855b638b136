// Searches of the simulated machine: FindFirstFileA over a host folder, with
// Windows' wildcards, short names and attribute masks.
#include "platform/sim/sim_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/sim/sim_codepage.h"
#include "platform/sim/sim_host_calls.h"
#include "platform/sim/sim_short_names.h"
#include "platform/sim/sim_wildcard.h"

namespace qr5::platform::sim {

namespace {

class SimFileSearch : public FileSearch {
 public:
  SimFileSearch(SimContext& ctx, std::vector<FindData> found) : ctx_(ctx), found_(std::move(found)) {}
  const FindData& Current() const override { return found_[index_]; }
  bool Next() override {
    if (index_ + 1 >= found_.size()) {
      ctx_.last_error = ERROR_NO_MORE_FILES;
      return false;
    }
    ++index_;
    return true;
  }

 private:
  SimContext& ctx_;
  std::vector<FindData> found_;
  size_t index_ = 0;
};

}  // namespace

std::unique_ptr<FileSearch> SimFileSystem::FindFirst(const std::string& path_mask,
                                                     uint32_t attribute_mask) {
  std::string folder;
  std::string mask = path_mask;
  const size_t sep = path_mask.find_last_of("\\/");
  if (sep != std::string::npos) {
    folder = path_mask.substr(0, sep + 1);
    mask = path_mask.substr(sep + 1);
  } else if (path_mask.size() >= 2 && path_mask[1] == ':') {
    folder = path_mask.substr(0, 2);
    mask = path_mask.substr(2);
  }
  if (path_mask.size() >= 260) {
    Fail(kErrorFilenameExcedRange);
    return nullptr;
  }
  if (mask.empty()) {
    Fail(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  for (char c : mask) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string("<>:\"|").find(c) != std::string::npos) {
      Fail(ERROR_INVALID_NAME);
      return nullptr;
    }
  }
  WindowsPath dir_path;
  HostLocation dir;
  if (!Locate(folder.empty() ? ctx_.current_dir : folder, &dir_path, &dir)) return nullptr;
  if (!dir.exists || !dir.is_dir) {
    Fail(ERROR_PATH_NOT_FOUND);
    return nullptr;
  }

  std::vector<std::string> names;
  if (!dir_path.IsRoot()) {
    names.push_back(".");
    names.push_back("..");
  }
  std::vector<std::string> host_names;
  if (DIR* handle = ::opendir(dir.host.c_str())) {
    while (dirent* entry = ::readdir(handle)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") host_names.push_back(name);
    }
    ::closedir(handle);
  }

  const uint32_t excluded = ~attribute_mask & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                               FILE_ATTRIBUTE_VOLUME | FILE_ATTRIBUTE_DIRECTORY);
  bool any_match = false;
  std::vector<FindData> found;
  auto consider = [&](const std::string& ansi, const std::string& host) {
    struct stat st;
    if (!HostStat(host, &st)) return;
    FindData data;
    data.name = ansi;
    const bool dot_entry = ansi == "." || ansi == "..";
    data.short_name = dot_entry || IsLegalShortName(ansi) ? "" : MakeShortName(ansi);
    if (!WildcardMatch(mask, data.name) &&
        (data.short_name.empty() || !WildcardMatch(mask, data.short_name))) {
      return;
    }
    any_match = true;
    const bool is_dir = S_ISDIR(st.st_mode);
    data.attributes = ctx_.attributes.Get(host, is_dir);
    if (data.attributes & excluded) return;
    data.size = is_dir ? 0 : static_cast<uint64_t>(st.st_size);
    data.last_write = HostTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    found.push_back(std::move(data));
  };
  for (const std::string& dot : names) consider(dot, dot == "." ? dir.host : dir.host + "/..");
  for (const std::string& host_name : host_names) {
    bool exact = true;
    const std::string ansi = Utf8ToAnsi(host_name, &exact);
    // A host name Windows could not spell is out of reach of this machine.
    if (!exact || ansi.find_first_of("\\/:*?\"<>|") != std::string::npos) continue;
    consider(ansi, dir.host + "/" + host_name);
  }
  std::stable_sort(found.begin(), found.end(), [](const FindData& a, const FindData& b) {
    const bool a_dot = a.name == "." || a.name == "..";
    const bool b_dot = b.name == "." || b.name == "..";
    if (a_dot != b_dot) return a_dot;
    return AnsiUpper(a.name) < AnsiUpper(b.name);
  });
  if (found.empty()) {
    Fail(any_match ? ERROR_NO_MORE_FILES : ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return std::make_unique<SimFileSearch>(ctx_, std::move(found));
}

}  // namespace qr5::platform::sim
