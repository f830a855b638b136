#include "platform/sim/sim_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/sim/sim_codepage.h"
#include "platform/sim/sim_host_io.h"
#include "platform/sim/sim_paths.h"

namespace qr5::platform::sim {

namespace {

// Holds a lock on the machine root for one registry operation.
class RootLock {
 public:
  RootLock(const std::string& root, bool exclusive)
      : fd_(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
      }
    }
  }
  ~RootLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  RootLock(const RootLock&) = delete;
  RootLock& operator=(const RootLock&) = delete;

 private:
  int fd_;
};

std::string PredefinedName(HKEY key) {
  switch (key) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case 0x80000005u: return "HKEY_CURRENT_CONFIG";
    default: return "";
  }
}

bool IsRootPath(const std::string& path) { return path.find('\\') == std::string::npos; }

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

SimRegistry::SimRegistry(std::string root) : root_(std::move(root)), file_(root_ + "/registry.reg") {}

RegDatabase SimRegistry::Load() const {
  std::string text;
  bool missing = false;
  if (!ReadHostFile(file_, &text)) {
    if (errno != ENOENT) throw std::runtime_error(file_ + ": cannot be read");
    missing = true;
  }
  if (!cached_ || missing != cached_missing_ || text != cached_text_) {
    // Parsed first: a broken file throws and leaves the cache as it was.
    RegDatabase db = missing ? RegDatabase() : RegDatabase::Parse(text, file_);
    Remember(std::move(text), missing, std::move(db));
  }
  return cached_db_;
}

bool SimRegistry::Save(const RegDatabase& db) {
  std::string text = db.Serialize();
  if (!WriteHostFileAtomic(file_, text)) return false;
  Remember(std::move(text), false, db);
  return true;
}

void SimRegistry::Remember(std::string text, bool missing, RegDatabase db) const {
  cached_text_ = std::move(text);
  cached_missing_ = missing;
  cached_db_ = std::move(db);
  cached_ = true;
}

std::string SimRegistry::PathOf(HKEY key) const {
  const std::string predefined = PredefinedName(key);
  if (!predefined.empty()) return predefined;
  const auto it = handles_.find(key);
  return it == handles_.end() ? "" : it->second.path;
}

bool SimRegistry::MayWrite(HKEY key, const std::string& path) const {
  const auto it = handles_.find(key);
  if (it != handles_.end() && it->second.access != KeyAccess::kWrite) return false;
  return RightsOf(path) == Rights::kAll;
}

long SimRegistry::Join(HKEY root, const std::string& sub_key, std::string* path) const {
  const std::string base = PathOf(root);
  if (base.empty()) return ERROR_INVALID_HANDLE;
  std::string sub = sub_key;
  if (!sub.empty() && sub.back() == '\\') sub.pop_back();
  if (!sub.empty() && sub[0] == '\\') return kErrorBadPathname;
  if (sub.find("\\\\") != std::string::npos || HasLineBreak(sub)) return kErrorBadPathname;
  *path = sub.empty() ? base : base + "\\" + sub;
  return ERROR_SUCCESS;
}

SimRegistry::Rights SimRegistry::RightsOf(const std::string& path) const {
  std::string text;
  if (!ReadHostFile(root_ + "/registry-denied.txt", &text)) return Rights::kAll;
  const std::string upper = AnsiUpper(path);
  constexpr std::string_view kReadOnly = "read-only ";
  Rights rights = Rights::kAll;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(pos, nl - pos);
    pos = nl + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\\')) line.pop_back();
    while (!line.empty() && line.front() == ' ') line.erase(0, 1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    const bool read_only = line.compare(0, kReadOnly.size(), kReadOnly) == 0;
    if (read_only) line.erase(0, kReadOnly.size());
    const size_t sep = line.find('\\');
    const std::string root = RegDatabase::RootName(line.substr(0, sep));
    if (root.empty()) continue;
    const std::string denied = AnsiUpper(root + (sep == std::string::npos ? "" : line.substr(sep)));
    if (upper != denied && upper.compare(0, denied.size() + 1, denied + "\\") != 0) continue;
    if (!read_only) return Rights::kNone;
    rights = Rights::kRead;
  }
  return rights;
}

long SimRegistry::Open(HKEY root, const std::string& sub_key, bool create, KeyAccess access, HKEY* result) {
  std::string path;
  const long joined = Join(root, sub_key, &path);
  if (joined != ERROR_SUCCESS) return joined;
  const Rights rights = RightsOf(path);
  if (rights == Rights::kNone || (access == KeyAccess::kWrite && rights != Rights::kAll)) return ERROR_ACCESS_DENIED;
  try {
    RootLock lock(root_, create);
    RegDatabase db = Load();
    if (!IsRootPath(path) && !db.Exists(path)) {
      if (!create) return ERROR_FILE_NOT_FOUND;
      db.Create(path);
      if (!Save(db)) return ERROR_ACCESS_DENIED;
    }
  } catch (const std::runtime_error&) {
    return kErrorBadDb;
  }
  const HKEY handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = Handle{path, access};
  *result = handle;
  return ERROR_SUCCESS;
}

long SimRegistry::OpenKey(HKEY root, const std::string& sub_key, KeyAccess access, HKEY* result) {
  return Open(root, sub_key, false, access, result);
}

long SimRegistry::CreateKey(HKEY root, const std::string& sub_key, HKEY* result) {
  return Open(root, sub_key, true, KeyAccess::kWrite, result);
}

long SimRegistry::QueryValue(HKEY key, const std::string& name, uint32_t* type, uint8_t* data,
                             uint32_t* size) {
  const std::string path = PathOf(key);
  if (path.empty()) return ERROR_INVALID_HANDLE;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  if (Denied(path)) return ERROR_ACCESS_DENIED;
  RegValue value;
  try {
    RootLock lock(root_, false);
    RegDatabase db = Load();
    if (!IsRootPath(path) && !db.Exists(path)) return kErrorKeyDeleted;
    RegKey* found = db.Find(path);
    RegValue* stored = found == nullptr ? nullptr : found->Find(name);
    if (stored == nullptr) return ERROR_FILE_NOT_FOUND;
    value = *stored;
  } catch (const std::runtime_error&) {
    return kErrorBadDb;
  }
  if (type != nullptr) *type = value.type;
  const auto needed = static_cast<uint32_t>(value.data.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  std::copy(value.data.begin(), value.data.end(), data);
  *size = needed;
  return ERROR_SUCCESS;
}

long SimRegistry::SetValue(HKEY key, const std::string& name, uint32_t type, const uint8_t* data,
                           uint32_t size) {
  const std::string path = PathOf(key);
  if (path.empty()) return ERROR_INVALID_HANDLE;
  if ((data == nullptr && size > 0) || HasLineBreak(name)) return ERROR_INVALID_PARAMETER;
  if (!MayWrite(key, path)) return ERROR_ACCESS_DENIED;
  try {
    RootLock lock(root_, true);
    RegDatabase db = Load();
    if (!IsRootPath(path) && !db.Exists(path)) return kErrorKeyDeleted;
    RegKey& stored = db.Create(path);
    std::vector<uint8_t> bytes(data, data + size);
    if (RegValue* existing = stored.Find(name)) {
      existing->type = type;
      existing->data = std::move(bytes);
    } else {
      stored.values.push_back(RegValue{name, type, std::move(bytes)});
    }
    if (!Save(db)) return ERROR_ACCESS_DENIED;
  } catch (const std::runtime_error&) {
    return kErrorBadDb;
  }
  return ERROR_SUCCESS;
}

long SimRegistry::DeleteValue(HKEY key, const std::string& name) {
  const std::string path = PathOf(key);
  if (path.empty()) return ERROR_INVALID_HANDLE;
  if (!MayWrite(key, path)) return ERROR_ACCESS_DENIED;
  try {
    RootLock lock(root_, true);
    RegDatabase db = Load();
    RegKey* stored = db.Find(path);
    if (stored == nullptr || stored->Find(name) == nullptr) return ERROR_FILE_NOT_FOUND;
    std::erase_if(stored->values, [&](const RegValue& v) { return AnsiUpper(v.name) == AnsiUpper(name); });
    if (!Save(db)) return ERROR_ACCESS_DENIED;
  } catch (const std::runtime_error&) {
    return kErrorBadDb;
  }
  return ERROR_SUCCESS;
}

long SimRegistry::DeleteKey(HKEY parent, const std::string& sub_key) {
  std::string path;
  const long joined = Join(parent, sub_key, &path);
  if (joined != ERROR_SUCCESS) return joined;
  if (sub_key.empty() || IsRootPath(path)) return ERROR_ACCESS_DENIED;
  if (RightsOf(path) != Rights::kAll) return ERROR_ACCESS_DENIED;
  try {
    RootLock lock(root_, true);
    RegDatabase db = Load();
    if (!db.Exists(path)) return ERROR_FILE_NOT_FOUND;
    if (db.HasSubKeys(path)) return ERROR_ACCESS_DENIED;
    db.Delete(path);
    if (!Save(db)) return ERROR_ACCESS_DENIED;
  } catch (const std::runtime_error&) {
    return kErrorBadDb;
  }
  return ERROR_SUCCESS;
}

long SimRegistry::CloseKey(HKEY key) {
  if (!PredefinedName(key).empty()) return ERROR_SUCCESS;
  return handles_.erase(key) > 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

bool SimRegistry::Deny(HKEY root, const std::string& sub_key, bool read_only) {
  std::string path;
  if (Join(root, sub_key, &path) != ERROR_SUCCESS) return false;
  const std::string file = root_ + "/registry-denied.txt";
  std::string text;
  if (!ReadHostFile(file, &text)) {
    text = "; Registry keys this machine's user may not open, or (read-only) may only read, and all below them.\n";
  }
  if (!text.empty() && text.back() != '\n') text += "\n";
  text += (read_only ? "read-only " : "") + path + "\n";
  return WriteHostFileAtomic(file, text);
}

bool SimRegistry::Seed(const std::vector<SeedValue>& values) {
  RootLock lock(root_, true);
  RegDatabase db = Load();
  for (const SeedValue& seed : values) {
    RegKey& key = db.Create(seed.key);
    if (key.Find(seed.name) != nullptr) continue;
    std::vector<uint8_t> bytes(seed.text.begin(), seed.text.end());
    bytes.push_back(0);
    key.values.push_back(RegValue{seed.name, REG_SZ, std::move(bytes)});
  }
  return Save(db);
}

}  // namespace qr5::platform::sim
