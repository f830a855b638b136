// Windows paths of the simulated machine and where they live on the host.
// A drive is the folder <root>/drives/<letter>; names below it compare
// without regard to case (and match their 8.3 aliases), while a new name
// keeps the case it was given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct stat;

namespace qr5::platform::sim {

inline constexpr uint32_t kErrorFilenameExcedRange = 206;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorNotSameDevice = 17;
inline constexpr uint32_t kErrorDirectory = 267;
inline constexpr uint32_t kErrorBadPathname = 161;

// An absolute, normalised Windows path: "C:\A\B" is {'C', {"A", "B"}}.
struct WindowsPath {
  char drive = 0;  // upper-case letter
  std::vector<std::string> parts;
  bool trailing_separator = false;

  bool IsRoot() const { return parts.empty(); }
  std::string Leaf() const { return parts.empty() ? std::string() : parts.back(); }
  WindowsPath Parent() const;
  std::string ToString() const;  // "C:\", "C:\A\B"
};

// Normalises a path as the Win32 layer does before it reaches a file
// system: "/" is a separator, "." and ".." are folded (never above the
// root), trailing dots and blanks of the last name are dropped and a single
// trailing dot of other names. Relative paths ("x", "\x", "D:x") resolve
// against current_dir (absolute). Returns ERROR_SUCCESS, ERROR_INVALID_NAME
// (a character Windows refuses in names), ERROR_PATH_NOT_FOUND (UNC and
// device paths, which this machine lacks) or kErrorFilenameExcedRange (a
// path of MAX_PATH characters or more). Wildcards pass only in the last name
// when wildcard_leaf is set.
uint32_t ParseWindowsPath(const std::string& path, const std::string& current_dir,
                          bool wildcard_leaf, WindowsPath* out);

// Where a Windows path lives on the host. A symbolic link of the host
// that leads out of the machine root (a drive folder or a name below one)
// is not followed: a drive so linked is missing, a name gives
// ERROR_ACCESS_DENIED.
struct HostLocation {
  uint32_t error = 0;       // 0, or why the folder holding the leaf is unreachable
  std::string host;         // host path of the whole path (existing names, new leaf as given)
  std::string parent_host;  // host folder holding the leaf ("" for a root)
  std::string leaf;         // host name of the leaf ("" for a root)
  bool exists = false;
  bool is_dir = false;
};

class PathResolver {
 public:
  explicit PathResolver(std::string root) : root_(std::move(root)) {}

  // Drives that are listed but hold no medium: every access gives
  // ERROR_NOT_READY.
  void SetNotReadyDrives(std::string letters) { not_ready_ = std::move(letters); }

  // The drive letters present, in order (folders under drives/ plus the
  // drives that are not ready).
  std::string Drives() const;
  // Host folder of a drive, "" when the machine has no such drive.
  std::string DriveFolder(char drive) const;
  bool DriveNotReady(char drive) const;

  // The host name of the entry called `name` (ANSI) in host folder `dir`:
  // the exact spelling first, then any spelling, then an 8.3 alias.
  bool FindEntry(const std::string& dir, const std::string& name, std::string* host_name) const;

  HostLocation Resolve(const WindowsPath& path) const;

  const std::string& root() const { return root_; }

 private:
  // Whether host is a host symbolic link leading out of the machine root
  // (or nowhere): the machine never follows one, so it never reaches a
  // host file outside its folder.
  bool Escapes(const std::string& host) const;
  // FindEntry with the entry's own status (lstat) as found.
  bool FindEntry(const std::string& dir, const std::string& name, std::string* host_name, struct stat* st) const;

  std::string root_;
  mutable std::string real_root_;  // the root's real path, once asked for
  std::string not_ready_;
};

// The Windows path of a host path inside a drive folder of the machine, or
// "" when it lies elsewhere. `root` and `host` must both be real paths.
std::string HostToWindowsPath(const std::string& root, const std::string& host);

}  // namespace qr5::platform::sim
