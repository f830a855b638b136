// A simulated Windows machine kept in one host folder, the machine root:
//
//   drives/C, drives/D, ...   each single-letter folder is a drive
//   machine.ini               version, locale, temp folder, free space, drives
//   registry.reg              the registry (REGEDIT4)
//   registry-denied.txt       keys the user may not open (optional)
//   attributes.tsv            file attributes the host cannot keep
//   mutex/                    named mutexes of running processes
//
// One SimMachine gives the program all six platform services over it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_mutex.h"

namespace qr5::platform::sim {

struct SimContext;
class SimFileSystem;
class SimProfile;
class SimRegistry;
class SimSystemInfo;
class SimProcesses;
class SimCom;

class SimMachine {
 public:
  // Makes what is missing of a machine root: drives C and D, the Windows,
  // temp, Program Files and profile folders, machine.ini with its defaults,
  // and a registry seeded as on a fresh Windows XP (Program Files folder,
  // Shell Folders of the user and of all users). Existing files and values
  // are kept. Throws std::runtime_error when the root cannot be made.
  static void CreateFresh(const std::string& host_root);

  // Opens a machine root. Throws std::runtime_error naming the file and
  // line of an unparsable machine.ini or registry.reg, or a missing root. A
  // missing registry.reg is an empty registry, a missing machine.ini gives
  // every default.
  static std::unique_ptr<SimMachine> Open(const std::string& host_root);

  // The machine root for a running executable: $QR5_MACHINE, else the root
  // whose drive folder holds the executable (<root>/drives/<L>/...). Fills
  // *windows_exe_path with the executable's Windows path ("D:\QR5_Installer"),
  // or "" when it lies outside the machine's drives. Returns "" when no
  // root is found.
  static std::string LocateRoot(const std::string& host_exe_path, std::string* windows_exe_path);

  ~SimMachine();
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  Machine& machine() { return machine_; }

  // What GetModuleFileNameA returns; the current folder becomes its folder.
  // Unless set, both follow from LocateRoot for this process's executable.
  void SetModuleFileName(const std::string& windows_path);
  // What GetCommandLineA gives after the quoted module file name; none
  // unless set.
  void SetArguments(const std::string& arguments);

  // The host path of a Windows path, resolved as the machine does (an
  // existing entry in any letter case; a new name as written). "" for a
  // path Windows would refuse.
  std::string HostPath(const std::string& windows_path);

  const std::string& root() const;

  // Test controls. Each one also updates the files of the machine root, so
  // other processes on the same machine see it.
  void DenyRegistryKey(HKEY root, const std::string& sub_key);
  // The key and those below it can be read but not written (a limited user).
  void MakeRegistryKeyReadOnly(HKEY root, const std::string& sub_key);
  void SetFreeSpace(char drive, int64_t bytes);
  void SetVersion(const OsVersion& version);
  void SetLanguageName(const std::string& name);
  // The ANSI code page; false (nothing changed) for one the machine lacks.
  bool SetCodePage(int code_page);
  void SetDriveNotReady(char drive);

  // The programs this process asked to start, oldest first; the list is
  // emptied.
  std::vector<StartedProgram> TakeStartedPrograms();
  // A start of Windows: the deletions kept for it (DeleteAtReboot, and the
  // "NUL=" lines of WININIT.INI's [rename] section, after which WININIT.INI
  // becomes WININIT.BAK as on the 9x family) are carried out. The running
  // program ends with it (no module file name until one is set).
  void Reboot();

 private:
  explicit SimMachine(const std::string& root);

  std::unique_ptr<SimContext> ctx_;
  std::unique_ptr<SimFileSystem> files_;
  std::unique_ptr<SimProfile> profile_;
  std::unique_ptr<SimRegistry> registry_;
  std::unique_ptr<SimSystemInfo> system_;
  std::unique_ptr<SimProcesses> processes_;
  std::unique_ptr<SimCom> com_;
  Machine machine_;
};

}  // namespace qr5::platform::sim
