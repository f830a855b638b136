#include "platform/sim/sim_machine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/sim/sim_codepage.h"
#include "platform/sim/sim_context.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_host_io.h"
#include "platform/sim/sim_machine_config.h"
#include "platform/sim/sim_mutex.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_shell_link.h"
#include "platform/sim/sim_system.h"

namespace qr5::platform::sim {

namespace {

std::string RealPath(const std::string& path) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer) == nullptr) return "";
  return buffer;
}

// Creates a Windows folder and the folders above it, reusing existing ones
// whatever their letter case.
void EnsureFolder(const PathResolver& resolver, const std::string& windows_path) {
  WindowsPath path;
  if (ParseWindowsPath(windows_path, "C:\\", false, &path) != 0) {
    throw std::runtime_error("bad folder " + windows_path);
  }
  std::string host = resolver.DriveFolder(path.drive);
  if (host.empty()) {
    host = resolver.root() + "/drives/" + std::string(1, path.drive);
    struct stat st;
    if (::lstat(host.c_str(), &st) == 0) throw std::runtime_error(host + " leads out of the machine");
    if (!MakeHostDirs(host)) throw std::runtime_error("cannot create " + host);
  }
  for (const std::string& part : path.parts) {
    std::string name;
    if (!resolver.FindEntry(host, part, &name)) {
      name = AnsiToUtf8(part);
      if (::mkdir((host + "/" + name).c_str(), 0755) != 0 && errno != EEXIST) {
        throw std::runtime_error("cannot create " + host + "/" + name + ": " + std::strerror(errno));
      }
    }
    host += "/" + name;
  }
}

const char* const kUserProfile = "C:\\Documents and Settings\\User";
const char* const kAllUsers = "C:\\Documents and Settings\\All Users";

}  // namespace

void SimMachine::CreateFresh(const std::string& host_root) {
  if (!MakeHostDirs(host_root + "/drives/C") || !MakeHostDirs(host_root + "/drives/D")) {
    throw std::runtime_error("cannot create the machine root " + host_root);
  }
  const std::string root = RealPath(host_root);
  const std::string ini = root + "/machine.ini";
  struct stat st;
  if (::stat(ini.c_str(), &st) != 0 && !WriteHostFileAtomic(ini, DefaultMachineIni())) {
    throw std::runtime_error("cannot write " + ini);
  }
  const MachineConfig config = LoadMachineConfig(ini);
  const PathResolver resolver(root);
  const std::string user = kUserProfile;
  const std::string all = kAllUsers;
  for (const std::string& folder :
       {std::string("C:\\WINDOWS\\system32"), config.temp_dir, std::string("C:\\Program Files\\Common Files"),
        user + "\\Desktop", user + "\\Start Menu\\Programs\\Startup", user + "\\My Documents",
        user + "\\Favorites", user + "\\SendTo", all + "\\Desktop",
        all + "\\Start Menu\\Programs\\Startup"}) {
    EnsureFolder(resolver, folder);
  }

  const std::string user_key =
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const std::string machine_key =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const std::string current_version = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  SimRegistry registry(root);
  const bool seeded = registry.Seed({
      {current_version, "ProgramFilesDir", "C:\\Program Files"},
      {current_version, "CommonFilesDir", "C:\\Program Files\\Common Files"},
      {user_key, "Desktop", user + "\\Desktop"},
      {user_key, "Programs", user + "\\Start Menu\\Programs"},
      {user_key, "StartUp", user + "\\Start Menu\\Programs\\Startup"},
      {user_key, "Start Menu", user + "\\Start Menu"},
      {user_key, "Personal", user + "\\My Documents"},
      {user_key, "Favorites", user + "\\Favorites"},
      {user_key, "SendTo", user + "\\SendTo"},
      {machine_key, "Common Desktop", all + "\\Desktop"},
      {machine_key, "Common Programs", all + "\\Start Menu\\Programs"},
      {machine_key, "Common StartUp", all + "\\Start Menu\\Programs\\Startup"},
      {machine_key, "Common Start Menu", all + "\\Start Menu"},
  });
  if (!seeded) throw std::runtime_error("cannot write " + root + "/registry.reg");
}

SimMachine::SimMachine(const std::string& root)
    : ctx_(std::make_unique<SimContext>(root)),
      files_(std::make_unique<SimFileSystem>(*ctx_)),
      profile_(std::make_unique<SimProfile>(*files_)),
      registry_(std::make_unique<SimRegistry>(root)),
      system_(std::make_unique<SimSystemInfo>(*ctx_)),
      processes_(std::make_unique<SimProcesses>(root, *files_)),
      com_(std::make_unique<SimCom>(*files_)) {
  machine_.files = files_.get();
  machine_.profile = profile_.get();
  machine_.registry = registry_.get();
  machine_.system = system_.get();
  machine_.processes = processes_.get();
  machine_.com = com_.get();
}

SimMachine::~SimMachine() = default;

std::unique_ptr<SimMachine> SimMachine::Open(const std::string& host_root) {
  const std::string root = RealPath(host_root);
  struct stat st;
  if (root.empty() || ::stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    throw std::runtime_error("machine root " + host_root + " does not exist");
  }
  std::unique_ptr<SimMachine> sim(new SimMachine(root));
  sim->ctx_->ini_path = root + "/machine.ini";
  sim->ctx_->config = LoadMachineConfig(sim->ctx_->ini_path);
  sim->ctx_->resolver.SetNotReadyDrives(sim->ctx_->config.not_ready_drives);
  sim->registry_->Load();  // refuse a broken registry now, with its line

  std::string windows_exe;
  const std::string self = RealPath("/proc/self/exe");
  if (!self.empty() && HostToWindowsPath(root, self) != "") windows_exe = HostToWindowsPath(root, self);
  if (!windows_exe.empty()) sim->SetModuleFileName(windows_exe);
  return sim;
}

std::string SimMachine::LocateRoot(const std::string& host_exe_path, std::string* windows_exe_path) {
  const std::string exe = RealPath(host_exe_path);
  std::string root;
  const char* env = std::getenv("QR5_MACHINE");
  if (env != nullptr && *env != '\0') {
    root = RealPath(env);
  } else if (!exe.empty()) {
    // The innermost ".../drives/<L>/..." around the executable.
    size_t pos = exe.rfind("/drives/");
    while (pos != std::string::npos) {
      const std::string candidate = exe.substr(0, pos);
      if (!HostToWindowsPath(candidate, exe).empty()) {
        root = candidate;
        break;
      }
      if (pos == 0) break;
      pos = exe.rfind("/drives/", pos - 1);
    }
  }
  if (windows_exe_path != nullptr) {
    *windows_exe_path = root.empty() || exe.empty() ? "" : HostToWindowsPath(root, exe);
  }
  return root;
}

void SimMachine::SetModuleFileName(const std::string& windows_path) {
  ctx_->module_file_name = windows_path;
  ctx_->running_program = {};  // found again, its file may have been made anew
  const size_t sep = windows_path.find_last_of('\\');
  if (sep != std::string::npos && windows_path.size() >= 2 && windows_path[1] == ':') {
    ctx_->current_dir = windows_path.substr(0, sep == 2 ? 3 : sep);
  }
}

void SimMachine::SetArguments(const std::string& arguments) { processes_->arguments = arguments; }

std::string SimMachine::HostPath(const std::string& windows_path) {
  WindowsPath path;
  if (ParseWindowsPath(windows_path, ctx_->current_dir, false, &path) != 0) return "";
  const HostLocation loc = ctx_->resolver.Resolve(path);
  return loc.error == ERROR_ACCESS_DENIED ? "" : loc.host;
}

const std::string& SimMachine::root() const { return ctx_->root; }

void SimMachine::DenyRegistryKey(HKEY root, const std::string& sub_key) {
  if (!registry_->Deny(root, sub_key)) throw std::runtime_error("cannot deny registry key " + sub_key);
}

void SimMachine::MakeRegistryKeyReadOnly(HKEY root, const std::string& sub_key) {
  if (!registry_->Deny(root, sub_key, true)) throw std::runtime_error("cannot deny registry key " + sub_key);
}

void SimMachine::SetFreeSpace(char drive, int64_t bytes) {
  const char letter = AnsiUpper(drive);
  ctx_->config.free_space[letter] = bytes;
  ctx_->bytes_added[letter] = 0;
  WriteMachineSetting(ctx_->ini_path, "FreeSpace", std::string(1, letter), std::to_string(bytes));
}

void SimMachine::SetVersion(const OsVersion& version) {
  ctx_->config.version = version;
  WriteMachineSetting(ctx_->ini_path, "Version", "PlatformId", std::to_string(version.platform_id));
  WriteMachineSetting(ctx_->ini_path, "Version", "Major", std::to_string(version.major));
  WriteMachineSetting(ctx_->ini_path, "Version", "Minor", std::to_string(version.minor));
  WriteMachineSetting(ctx_->ini_path, "Version", "Build",
                      std::to_string(static_cast<uint32_t>(version.build)));
  WriteMachineSetting(ctx_->ini_path, "Version", "CSDVersion", version.csd_version);
}

void SimMachine::SetLanguageName(const std::string& name) {
  ctx_->config.language_name = name;
  WriteMachineSetting(ctx_->ini_path, "Locale", "LanguageName", name);
}

bool SimMachine::SetCodePage(int code_page) {
  if (!KnownCodePage(code_page)) return false;
  ctx_->config.code_page = code_page;
  WriteMachineSetting(ctx_->ini_path, "Locale", "CodePage", std::to_string(code_page));
  return true;
}

void SimMachine::SetDriveNotReady(char drive) {
  const char letter = AnsiUpper(drive);
  if (ctx_->config.not_ready_drives.find(letter) == std::string::npos) {
    ctx_->config.not_ready_drives.push_back(letter);
  }
  ctx_->resolver.SetNotReadyDrives(ctx_->config.not_ready_drives);
  WriteMachineSetting(ctx_->ini_path, "Drives", std::string(1, letter), "NotReady");
}

std::vector<StartedProgram> SimMachine::TakeStartedPrograms() {
  std::vector<StartedProgram> started = std::move(processes_->started);
  processes_->started.clear();
  return started;
}

void SimMachine::Reboot() {
  // No program runs any more, so none holds its own file.
  ctx_->module_file_name.clear();
  std::string pending;
  ReadHostFile(ctx_->root + "/reboot-deletes.txt", &pending);
  size_t start = 0;
  for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n', start)) {
    files_->DeleteFile(pending.substr(start, end - start));
    start = end + 1;
  }
  ::unlink((ctx_->root + "/reboot-deletes.txt").c_str());

  const std::string wininit = files_->GetWindowsDirectory() + "\\WININIT.INI";
  std::string text;
  if (!ReadHostFile(HostPath(wininit), &text)) return;
  bool in_rename = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      in_rename = AnsiUpper(line) == "[RENAME]";
      continue;
    }
    const size_t eq = line.find('=');
    if (in_rename && eq != std::string::npos && AnsiUpper(line.substr(0, eq)) == "NUL") {
      files_->DeleteFile(line.substr(eq + 1));
    }
  }
  files_->MoveFileReplace(wininit, files_->GetWindowsDirectory() + "\\WININIT.BAK");
}

}  // namespace qr5::platform::sim
