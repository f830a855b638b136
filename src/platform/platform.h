// The thin layer over the Windows services the setup uses. Everything above
// this header is portable; two implementations exist: win32/ (the real API
// functions) and sim/ (a simulated Windows machine kept in a host folder).
//
// The operations mirror the Win32 calls they stand for: paths are Windows
// paths in the ANSI code page, failures are reported the way the API reports
// them (a result plus GetLastError), and constants carry their Windows values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qr5::platform {

// ---- Windows constants (same values as <windows.h>) -----------------------
inline constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr uint32_t FILE_ATTRIBUTE_VOLUME = 0x08;  // faVolumeID
inline constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

inline constexpr uint32_t ERROR_SUCCESS = 0;
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr uint32_t ERROR_NOT_READY = 21;
inline constexpr uint32_t ERROR_SHARING_VIOLATION = 32;
inline constexpr uint32_t ERROR_HANDLE_DISK_FULL = 39;
inline constexpr uint32_t ERROR_FILE_EXISTS = 80;
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t ERROR_DISK_FULL = 112;
inline constexpr uint32_t ERROR_INVALID_NAME = 123;
inline constexpr uint32_t ERROR_DIR_NOT_EMPTY = 145;
inline constexpr uint32_t ERROR_ALREADY_EXISTS = 183;
inline constexpr uint32_t ERROR_MORE_DATA = 234;
inline constexpr uint32_t ERROR_NO_MORE_FILES = 18;

inline constexpr uint32_t SEM_FAILCRITICALERRORS = 0x0001;
inline constexpr uint32_t SEM_NOOPENFILEERRORBOX = 0x8000;

// Registry roots and value types.
using HKEY = uintptr_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_MULTI_SZ = 7;

// Message box flags and answers.
inline constexpr uint32_t MB_OK = 0x00;
inline constexpr uint32_t MB_OKCANCEL = 0x01;
inline constexpr uint32_t MB_YESNO = 0x04;
inline constexpr uint32_t MB_ICONERROR = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONWARNING = 0x30;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A file time as Windows keeps it: 100 ns units since 1601-01-01 UTC.
using FileTime = uint64_t;

// ---- Files and folders -----------------------------------------------------

// One result of a FindFirstFileA/FindNextFileA search.
struct FindData {
  uint32_t attributes = 0;
  uint64_t size = 0;
  FileTime last_write = 0;
  std::string name;        // long file name
  std::string short_name;  // 8.3 alias when the system keeps one, else empty
};

// An open search; destroying it releases the search (FindClose).
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // The current match. Valid after a successful FindFirst/Next.
  virtual const FindData& Current() const = 0;
  // Advances to the next match; false when none is left (FindNextFileA).
  virtual bool Next() = 0;
};

// An open file (CreateFileA handle). Reads and writes are unbuffered here:
// the caller keeps its own buffers.
class File {
 public:
  virtual ~File() = default;
  // ReadFile: false on an error; *got < size at the end of the file.
  virtual bool Read(void* buffer, uint32_t size, uint32_t* got) = 0;
  // WriteFile: false unless every byte was written (a full disk fails).
  virtual bool Write(const void* buffer, uint32_t size) = 0;
  // SetFilePointer from the start of the file.
  virtual bool Seek(int64_t position) = 0;
  virtual int64_t Position() = 0;
  virtual int64_t Size() = 0;
  // GetFileTime/SetFileTime, last-write time only.
  virtual bool GetTime(FileTime* last_write) = 0;
  virtual bool SetTime(FileTime last_write) = 0;
  // FlushFileBuffers.
  virtual bool Flush() = 0;
};

enum class OpenMode {
  kRead,          // GENERIC_READ, OPEN_EXISTING, share read/write
  // GENERIC_READ, OPEN_EXISTING, share read only: while the handle is open
  // others may read the file but not write it, and it cannot be opened so
  // while someone holds it open for writing (ERROR_SHARING_VIOLATION).
  kReadDenyWrite,
  kReadWrite,     // GENERIC_READ|GENERIC_WRITE, OPEN_EXISTING, full sharing
  kCreateAlways,  // GENERIC_WRITE, CREATE_ALWAYS (fails on a read-only file)
  // GENERIC_WRITE, CREATE_NEW: fails with ERROR_FILE_EXISTS when the name is
  // taken, so two programs never write one new file at once.
  kCreateNew,
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Last error of the most recent failing call of this interface.
  virtual uint32_t GetLastError() const = 0;
  // FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM) text of an error code.
  virtual std::string SystemErrorText(uint32_t code) const = 0;

  virtual std::string GetModuleFileName() = 0;  // the running executable
  virtual std::string GetTempPath() = 0;        // ends in a backslash; "" on failure
  virtual std::string GetCurrentDirectory() = 0;
  virtual std::string GetWindowsDirectory() = 0;  // no trailing backslash; "" on failure

  // FindFirstFileA on a path that ends in a wildcard mask; null when nothing
  // matches. attribute_mask filters like Delphi's FindFirst: entries that
  // carry hidden/system/directory/volume bits not in the mask are left out.
  virtual std::unique_ptr<FileSearch> FindFirst(const std::string& path_mask,
                                                uint32_t attribute_mask) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  virtual uint32_t GetFileAttributes(const std::string& path) = 0;
  virtual bool SetFileAttributes(const std::string& path, uint32_t attributes) = 0;
  virtual bool CreateDirectory(const std::string& path) = 0;  // one level
  virtual bool RemoveDirectory(const std::string& path) = 0;  // must be empty
  virtual bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) = 0;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING.
  virtual bool MoveFileReplace(const std::string& from, const std::string& to) = 0;
  // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): the file is deleted
  // at the next start of Windows. The NT family only; the 9x family fails
  // and keeps such deletions in WININIT.INI instead.
  virtual bool DeleteAtReboot(const std::string& path) = 0;
  // GetLogicalDriveStringsA: "C:\<NUL>D:\<NUL>" (each root followed by NUL).
  virtual std::string GetLogicalDriveStrings() = 0;
  // GetShortPathNameA; "" on failure (for example a missing path).
  virtual std::string GetShortPathName(const std::string& path) = 0;
  // GetDiskFreeSpaceExA, looked up at run time, with GetDiskFreeSpaceA as the
  // fallback: bytes available to the caller on the drive of root_path.
  virtual bool GetDiskFreeSpace(const std::string& root_path, int64_t* free_bytes) = 0;
  virtual uint32_t SetErrorMode(uint32_t mode) = 0;

  virtual std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) = 0;
};

// ---- Profile (INI) files -----------------------------------------------------

class Profile {
 public:
  virtual ~Profile() = default;
  // GetPrivateProfileStringA with a 2048-byte buffer: section and key compare
  // without regard to case, the value is trimmed and loses one pair of
  // surrounding quotes, and is cut to 2047 characters.
  virtual std::string GetString(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& default_value) = 0;
  // WritePrivateProfileStringA: replaces the key in place or adds it (and its
  // section); the rest of the file stays byte for byte. False on failure.
  virtual bool WriteString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

// ---- Registry ----------------------------------------------------------------

enum class KeyAccess { kRead, kWrite };  // KEY_READ; KEY_READ | KEY_WRITE

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA with the rights the caller needs: a limited user on the NT
  // family may read the machine-wide keys but not write them. Returns a
  // Windows error code.
  virtual long OpenKey(HKEY root, const std::string& sub_key, KeyAccess access, HKEY* result) = 0;
  // RegCreateKeyExA, non-volatile, for reading and writing.
  virtual long CreateKey(HKEY root, const std::string& sub_key, HKEY* result) = 0;
  // RegQueryValueExA. With data == nullptr only *type and *size are filled.
  // With a buffer too small: ERROR_MORE_DATA and the needed *size.
  virtual long QueryValue(HKEY key, const std::string& name, uint32_t* type, uint8_t* data,
                          uint32_t* size) = 0;
  virtual long SetValue(HKEY key, const std::string& name, uint32_t type, const uint8_t* data,
                        uint32_t size) = 0;
  virtual long CloseKey(HKEY key) = 0;
  // RegDeleteValueA.
  virtual long DeleteValue(HKEY key, const std::string& name) = 0;
  // RegDeleteKeyA of a key without subkeys (a key with subkeys is refused,
  // as on the NT family).
  virtual long DeleteKey(HKEY parent, const std::string& sub_key) = 0;
};

// ---- Locale, version ---------------------------------------------------------

struct OsVersion {  // the OSVERSIONINFOA facts
  int32_t platform_id = 0;
  int32_t major = 0;
  int32_t minor = 0;
  int32_t build = 0;  // the whole 32-bit field
  std::string csd_version;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The English name of the language of GetThreadLocale (LOCALE_SENGLANGUAGE)
  // among the supported locales, whatever the language of Windows itself;
  // "" when unknown.
  virtual std::string ThreadLanguageName() = 0;
  // GetVersionExA; false when it fails.
  virtual bool GetVersion(OsVersion* version) = 0;
  // OemToCharA: converts OEM code page text to the ANSI code page.
  virtual std::string OemToAnsi(const std::string& oem) = 0;
  // IsDBCSLeadByte: the byte opens a double-byte character in the ANSI code
  // page (never on a single-byte code page such as 1252).
  virtual bool IsLeadByte(char byte) = 0;
  // CharUpperBuffA: the text in upper case as the ANSI code page has it
  // ("\xe4rger" gives "\xc4RGER" on 1252); double-byte characters stay whole.
  virtual std::string UpperCase(const std::string& text) = 0;
};

// ---- Processes ---------------------------------------------------------------

class Processes {
 public:
  virtual ~Processes() = default;
  // OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name): true when a handle was
  // returned; the handle stays open until the process ends.
  virtual bool OpenMutex(const std::string& name) = 0;
  // CreateMutexA(NULL, FALSE, name): true when a handle was returned (also
  // when the mutex already existed); it stays open until the process ends.
  virtual bool CreateMutex(const std::string& name) = 0;
  // CreateProcessA(NULL, command_line, ...): true when the program started;
  // its handles are closed at once and it is not waited for.
  virtual bool StartProcess(const std::string& command_line) = 0;
  // GetCommandLineA: the whole command line, the program's path first.
  virtual std::string GetCommandLine() = 0;
  // Starts a program that does this one's work and waits for it, so that
  // whoever waits for this process learns when the work is over and how it
  // went: true when it started, *exit_code its exit code (or the code it
  // released this process with, see ReleaseWaitingParent). On the simulated
  // machine the host runs the program in this process once the program
  // returns, and its exit code becomes this process's.
  virtual bool StartProcessAndWait(const std::string& command_line, int* exit_code) = 0;
  // In a program started by StartProcessAndWait: ends the waiting process
  // with exit_code and waits until it is gone, so that its file can be
  // deleted. False when no process waits (or it could not be ended).
  virtual bool ReleaseWaitingParent(int exit_code) = 0;
};

// ---- COM shell links ---------------------------------------------------------

// An IShellLinkA + IPersistFile pair; destroying it releases both.
class ShellLink {
 public:
  virtual ~ShellLink() = default;
  virtual bool SetPath(const std::string& target) = 0;
  virtual bool SetWorkingDirectory(const std::string& folder) = 0;
  // IPersistFile::Save with remember = FALSE. The ANSI path is converted to
  // UTF-16 through the ANSI code page.
  virtual bool Save(const std::string& link_path) = 0;
  // IPersistFile::Load of an existing link file; false when it cannot be read.
  virtual bool Load(const std::string& link_path) = 0;
  // IShellLinkA::GetPath with SLGP_RAWPATH: the target as recorded, "" when
  // the link has none.
  virtual std::string GetPath() = 0;
};

class Com {
 public:
  virtual ~Com() = default;
  virtual bool Initialize() = 0;  // CoInitialize(NULL)
  virtual void Uninitialize() = 0;
  // CoCreateInstance(CLSID_ShellLink) and QueryInterface for both
  // interfaces; null when either step fails.
  virtual std::unique_ptr<ShellLink> CreateShellLink() = 0;
};

// ---- The machine -------------------------------------------------------------

// All services of one machine. The program uses exactly one, installed at
// start-up; tests install a simulated one of their own.
struct Machine {
  FileSystem* files = nullptr;
  Profile* profile = nullptr;
  Registry* registry = nullptr;
  SystemInfo* system = nullptr;
  Processes* processes = nullptr;
  Com* com = nullptr;
};

// The installed machine. Calling it before Install() is a programming error.
Machine& Sys();
void Install(Machine* machine);

}  // namespace qr5::platform
