// File attributes of the simulated machine. The host file system cannot
// keep read-only, hidden, system and archive bits (and root ignores its own
// write bits), so they live in a sidecar file "attributes.tsv" in the
// machine root: one line per entry, hex attributes, a tab, the entry's host
// path relative to the root. An entry without a line has the attributes of
// a new file (archive) or folder (none). The file is re-read when another
// process changed it and rewritten atomically on every change.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace qr5::platform::sim {

class AttributeStore {
 public:
  explicit AttributeStore(std::string root);

  // The attributes of an existing host entry, as GetFileAttributesA reports
  // them (directory bit included, FILE_ATTRIBUTE_NORMAL for a file with
  // none).
  uint32_t Get(const std::string& host_path, bool is_dir);
  // SetFileAttributesA: only the bits a program may set are kept.
  bool Set(const std::string& host_path, uint32_t attributes);
  // A new entry: whatever an earlier entry of that name had is forgotten.
  bool Reset(const std::string& host_path);
  // The entry and everything below it are gone.
  bool Forget(const std::string& host_path);
  // The entry (and what lies below it) moved.
  bool Move(const std::string& from_host, const std::string& to_host);

  bool IsReadOnly(const std::string& host_path, bool is_dir);

 private:
  std::string Key(const std::string& host_path) const;
  void Load();
  bool Save();

  std::string root_;
  std::string file_;
  std::map<std::string, uint32_t> entries_;
  // Identity of the sidecar file when it was read.
  uint64_t stamp_ino_ = 0;
  int64_t stamp_mtime_ = -1;
  int64_t stamp_size_ = -1;
};

}  // namespace qr5::platform::sim
