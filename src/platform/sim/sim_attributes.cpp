#include "platform/sim/sim_attributes.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_host_io.h"

namespace qr5::platform::sim {

namespace {

constexpr uint32_t kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                               0x100 /* temporary */ | 0x1000 /* offline */ |
                               0x2000 /* not content indexed */;

bool IsBelow(const std::string& key, const std::string& folder) {
  return key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
         key[folder.size()] == '/';
}

}  // namespace

AttributeStore::AttributeStore(std::string root)
    : root_(std::move(root)), file_(root_ + "/attributes.tsv") {}

std::string AttributeStore::Key(const std::string& host_path) const {
  if (host_path.compare(0, root_.size() + 1, root_ + "/") == 0) {
    return host_path.substr(root_.size() + 1);
  }
  return host_path;
}

void AttributeStore::Load() {
  struct stat st;
  if (::stat(file_.c_str(), &st) != 0) {
    entries_.clear();
    stamp_ino_ = 0;
    stamp_mtime_ = -1;
    stamp_size_ = -1;
    return;
  }
  const int64_t mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  if (st.st_ino == stamp_ino_ && mtime == stamp_mtime_ && st.st_size == stamp_size_) return;
  std::string text;
  entries_.clear();
  if (ReadHostFile(file_, &text)) {
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      const size_t tab = line.find('\t');
      if (tab == std::string::npos || tab == 0) continue;  // not ours: skip
      const std::string digits = line.substr(0, tab);
      char* stop = nullptr;
      const unsigned long value = std::strtoul(digits.c_str(), &stop, 16);
      if (stop == nullptr || *stop != '\0') continue;
      entries_[line.substr(tab + 1)] = static_cast<uint32_t>(value);
    }
  }
  stamp_ino_ = st.st_ino;
  stamp_mtime_ = mtime;
  stamp_size_ = st.st_size;
}

bool AttributeStore::Save() {
  std::string text;
  for (const auto& [key, value] : entries_) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", value);
    text += hex;
    text += '\t';
    text += key;
    text += '\n';
  }
  // Losing the newest attributes in a power cut is acceptable; waiting for
  // the disk on every extracted file is not.
  if (!WriteHostFileAtomic(file_, text, false)) return false;
  stamp_ino_ = 0;  // re-read our own file next time: cheap and always right
  stamp_mtime_ = -1;
  return true;
}

uint32_t AttributeStore::Get(const std::string& host_path, bool is_dir) {
  Load();
  const auto it = entries_.find(Key(host_path));
  uint32_t value = it != entries_.end() ? it->second : (is_dir ? 0 : FILE_ATTRIBUTE_ARCHIVE);
  if (is_dir) return value | FILE_ATTRIBUTE_DIRECTORY;
  return value == 0 ? FILE_ATTRIBUTE_NORMAL : value;
}

bool AttributeStore::IsReadOnly(const std::string& host_path, bool is_dir) {
  return (Get(host_path, is_dir) & FILE_ATTRIBUTE_READONLY) != 0;
}

bool AttributeStore::Set(const std::string& host_path, uint32_t attributes) {
  Load();
  const std::string key = Key(host_path);
  const auto it = entries_.find(key);
  const uint32_t kept = attributes & kSettable;
  if (it != entries_.end() && it->second == kept) return true;
  // The usual archive bit of an extracted file needs no line of its own.
  struct stat st;
  if (it == entries_.end() && ::stat(host_path.c_str(), &st) == 0 &&
      kept == (S_ISDIR(st.st_mode) ? 0u : FILE_ATTRIBUTE_ARCHIVE)) {
    return true;
  }
  entries_[key] = kept;
  return Save();
}

bool AttributeStore::Reset(const std::string& host_path) { return Forget(host_path); }

bool AttributeStore::Forget(const std::string& host_path) {
  Load();
  const std::string key = Key(host_path);
  bool changed = entries_.erase(key) > 0;
  for (auto it = entries_.lower_bound(key + "/"); it != entries_.end() && IsBelow(it->first, key);) {
    it = entries_.erase(it);
    changed = true;
  }
  return changed ? Save() : true;
}

bool AttributeStore::Move(const std::string& from_host, const std::string& to_host) {
  Load();
  const std::string from = Key(from_host);
  const std::string to = Key(to_host);
  std::vector<std::pair<std::string, uint32_t>> moved;
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->first == from || IsBelow(it->first, from)) {
      moved.emplace_back(to + it->first.substr(from.size()), it->second);
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  // Whatever the destination had before is replaced.
  bool changed = !moved.empty();
  if (entries_.erase(to) > 0) changed = true;
  for (auto it = entries_.lower_bound(to + "/"); it != entries_.end() && IsBelow(it->first, to);) {
    it = entries_.erase(it);
    changed = true;
  }
  for (auto& [key, value] : moved) entries_[key] = value;
  return changed ? Save() : true;
}

}  // namespace qr5::platform::sim
