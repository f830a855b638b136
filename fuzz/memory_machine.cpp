#include "memory_machine.h"

#include <algorithm>
#include <cstring>

namespace qr5::fuzz {

namespace pf = qr5::platform;

namespace {

std::string Key(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

struct Node {
  std::string bytes;  // only for the archive
  bool readable = false;
  uint32_t attributes = pf::FILE_ATTRIBUTE_ARCHIVE;
  pf::FileTime time = 0;
};

class MemoryFile : public pf::File {
 public:
  MemoryFile(Node& node, uint64_t* written, bool write) : node_(node), written_(written), write_(write) {}
  bool Read(void* buffer, uint32_t size, uint32_t* got) override {
    *got = 0;
    if (write_ || !node_.readable) return true;
    if (position_ < node_.bytes.size()) {
      *got = static_cast<uint32_t>(std::min<uint64_t>(size, node_.bytes.size() - position_));
      std::memcpy(buffer, node_.bytes.data() + position_, *got);
      position_ += *got;
    }
    return true;
  }
  bool Write(const void*, uint32_t size) override {
    if (!write_) return false;
    *written_ += size;
    position_ += size;
    size_ = std::max(size_, position_);
    return true;
  }
  bool Seek(int64_t position) override {
    if (position < 0) return false;
    position_ = static_cast<uint64_t>(position);
    return true;
  }
  int64_t Position() override { return static_cast<int64_t>(position_); }
  int64_t Size() override {
    return static_cast<int64_t>(node_.readable ? node_.bytes.size() : size_);
  }
  bool GetTime(pf::FileTime* t) override { *t = node_.time; return true; }
  bool SetTime(pf::FileTime t) override { node_.time = t; return true; }
  bool Flush() override { return true; }

 private:
  Node& node_;
  uint64_t* written_;
  bool write_;
  uint64_t position_ = 0;
  uint64_t size_ = 0;
};

class MemoryFileSystem : public pf::FileSystem {
 public:
  std::map<std::string, Node> files;
  std::set<std::string> folders = {"C:"};
  uint64_t written = 0;
  uint32_t last_error = 0;

  uint32_t GetLastError() const override { return last_error; }
  std::string SystemErrorText(uint32_t) const override { return "Error."; }
  std::string GetModuleFileName() override { return "C:\\SETUP.EXE"; }
  std::string GetTempPath() override { return "C:\\TEMP\\"; }
  std::string GetCurrentDirectory() override { return "C:\\"; }
  std::string GetWindowsDirectory() override { return "C:\\WINDOWS"; }
  bool DeleteAtReboot(const std::string&) override { return Fail(false); }
  std::unique_ptr<pf::FileSearch> FindFirst(const std::string&, uint32_t) override { return nullptr; }
  bool DeleteFile(const std::string& path) override { return Fail(files.erase(Key(path)) == 1); }
  uint32_t GetFileAttributes(const std::string& path) override {
    std::string key = Key(path);
    if (folders.count(key)) return pf::FILE_ATTRIBUTE_DIRECTORY;
    auto it = files.find(key);
    if (it == files.end()) {
      last_error = pf::ERROR_FILE_NOT_FOUND;
      return pf::INVALID_FILE_ATTRIBUTES;
    }
    return it->second.attributes;
  }
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
    auto it = files.find(Key(path));
    if (it == files.end()) return Fail(false);
    it->second.attributes = attributes;
    return true;
  }
  bool CreateDirectory(const std::string& path) override {
    std::string key = Key(path);
    if (folders.size() > 10000 || files.count(key)) return Fail(false);
    return Fail(folders.insert(key).second);
  }
  bool RemoveDirectory(const std::string& path) override { return Fail(folders.erase(Key(path)) == 1); }
  bool CopyFile(const std::string&, const std::string&, bool) override { return Fail(false); }
  bool MoveFileReplace(const std::string& from, const std::string& to) override {
    auto source = files.find(Key(from));
    const std::string target = Key(to);
    if (source == files.end() || folders.count(target)) return Fail(false);
    auto existing = files.find(target);
    if (existing != files.end() && existing != source &&
        (existing->second.readable || (existing->second.attributes & pf::FILE_ATTRIBUTE_READONLY))) {
      last_error = pf::ERROR_ACCESS_DENIED;
      return false;
    }
    Node moved = source->second;
    files.erase(source);
    files[target] = moved;
    return true;
  }
  std::string GetLogicalDriveStrings() override { return std::string("C:\\\0", 4); }
  std::string GetShortPathName(const std::string& path) override { return path; }
  bool GetDiskFreeSpace(const std::string&, int64_t* free_bytes) override {
    *free_bytes = 1 << 30;
    return true;
  }
  uint32_t SetErrorMode(uint32_t mode) override { return mode; }
  std::unique_ptr<pf::File> OpenFile(const std::string& path, pf::OpenMode mode) override {
    std::string key = Key(path);
    auto it = files.find(key);
    if (mode == pf::OpenMode::kCreateNew && (it != files.end() || folders.count(key))) {
      last_error = pf::ERROR_FILE_EXISTS;
      return nullptr;
    }
    if (mode == pf::OpenMode::kCreateAlways || mode == pf::OpenMode::kCreateNew) {
      if (folders.count(key) || files.size() > 10000) return Fail(false), nullptr;
      if (it != files.end() && (it->second.readable || (it->second.attributes & pf::FILE_ATTRIBUTE_READONLY))) {
        last_error = pf::ERROR_ACCESS_DENIED;
        return nullptr;
      }
      Node& node = files[key];
      node = Node();
      return std::make_unique<MemoryFile>(node, &written, true);
    }
    if (it == files.end()) return Fail(false), nullptr;
    return std::make_unique<MemoryFile>(it->second, &written, mode == pf::OpenMode::kReadWrite &&
                                                                  !it->second.readable);
  }

 private:
  bool Fail(bool ok) {
    if (!ok) last_error = pf::ERROR_FILE_NOT_FOUND;
    return ok;
  }
};

class MemorySystemInfo : public pf::SystemInfo {
 public:
  std::string ThreadLanguageName() override { return ""; }
  bool GetVersion(pf::OsVersion*) override { return false; }
  // A fixed byte-for-byte mapping stands in for the code page tables.
  std::string OemToAnsi(const std::string& oem) override {
    std::string ansi = oem;
    for (char& c : ansi) {
      if (static_cast<unsigned char>(c) >= 0x80) c = static_cast<char>(c ^ 0x40);
    }
    return ansi;
  }
  bool IsLeadByte(char) override { return false; }  // a single-byte code page
  std::string UpperCase(const std::string& text) override {
    std::string upper = text;
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
  }
};

}  // namespace

struct MemoryMachine::Impl {
  MemoryFileSystem files;
  MemorySystemInfo system;
};

MemoryMachine::MemoryMachine() : impl_(std::make_unique<Impl>()) {
  machine_.files = &impl_->files;
  machine_.system = &impl_->system;
}

MemoryMachine::~MemoryMachine() = default;

void MemoryMachine::SetFile(const std::string& path, const std::string& bytes) {
  impl_->files.files.clear();
  impl_->files.folders = {"C:"};
  impl_->files.written = 0;
  Node& node = impl_->files.files[Key(path)];
  node.bytes = bytes;
  node.readable = true;
  node.time = 1;
}

uint64_t MemoryMachine::BytesWritten() const { return impl_->files.written; }

}  // namespace qr5::fuzz
