// qr5machine: makes and inspects simulated Windows machines for the demo and
// for people trying the setup by hand.
//
//   qr5machine new ROOT                     a fresh machine (drives C and D)
//   qr5machine set ROOT KEY VALUE           version/locale/free space:
//       version 95|98|98se|me|nt4|2000|xp|2003   locale "Italian (Italy)"
//       freespace C 12345678   codepage 1252|932|936|949|950
//   qr5machine reg ROOT                     print the registry file
//   qr5machine tree ROOT [WINDOWS-PATH]     list files below a folder
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "platform/sim/sim_machine.h"

namespace {

namespace fs = std::filesystem;
using qr5::platform::OsVersion;
using qr5::platform::sim::SimMachine;

int Usage() {
  std::cerr << "usage: qr5machine new ROOT\n"
               "       qr5machine set ROOT version 95|98|98se|me|nt4|2000|xp|2003\n"
               "       qr5machine set ROOT locale NAME\n"
               "       qr5machine set ROOT freespace DRIVE BYTES\n"
               "       qr5machine set ROOT codepage 1252|932|936|949|950\n"
               "       qr5machine reg ROOT\n"
               "       qr5machine tree ROOT [WINDOWS-PATH]\n";
  return 2;
}

// The version facts each Windows reports (Wine's measured values).
bool VersionByName(const std::string& name, OsVersion* v) {
  static const std::map<std::string, OsVersion> kVersions = {
      {"95", {1, 4, 0, 0x040003B6, ""}},
      {"98", {1, 4, 10, 0x040A07CE, ""}},
      {"98se", {1, 4, 10, 0x040A08AE, " A "}},
      {"me", {1, 4, 90, 0x045A0BB8, ""}},
      {"nt4", {2, 4, 0, 1381, "Service Pack 6"}},
      {"2000", {2, 5, 0, 2195, "Service Pack 4"}},
      {"xp", {2, 5, 1, 2600, "Service Pack 2"}},
      {"2003", {2, 5, 2, 3790, "Service Pack 1"}},
  };
  auto it = kVersions.find(name);
  if (it == kVersions.end()) return false;
  *v = it->second;
  return true;
}

int Tree(SimMachine& m, const std::string& windows_path) {
  const std::string host = m.HostPath(windows_path);
  if (host.empty() || !fs::exists(host)) {
    std::cerr << "qr5machine: no such folder: " << windows_path << "\n";
    return 1;
  }
  std::string base = windows_path;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  for (auto it = fs::recursive_directory_iterator(host); it != fs::recursive_directory_iterator();
       ++it) {
    std::string rel = fs::relative(it->path(), host).string();
    for (char& c : rel) {
      if (c == '/') c = '\\';
    }
    std::cout << base << "\\" << rel;
    if (it->is_directory()) {
      std::cout << "\\";
    } else {
      std::cout << "  (" << it->file_size() << " bytes)";
    }
    std::cout << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  const std::string root = argv[2];
  try {
    if (command == "new" && argc == 3) {
      SimMachine::CreateFresh(root);
      std::cout << "new machine at " << fs::absolute(root).string() << "\n";
      return 0;
    }
    auto machine = SimMachine::Open(root);
    if (command == "set" && argc >= 5) {
      const std::string what = argv[3];
      if (what == "version" && argc == 5) {
        OsVersion v;
        if (!VersionByName(argv[4], &v)) return Usage();
        machine->SetVersion(v);
        return 0;
      }
      if (what == "locale" && argc == 5) {
        machine->SetLanguageName(argv[4]);
        return 0;
      }
      if (what == "codepage" && argc == 5) {
        const std::string page = argv[4];
        if (page.empty() || page.size() > 5 || page.find_first_not_of("0123456789") != std::string::npos ||
            !machine->SetCodePage(std::stoi(page)))
          return Usage();
        return 0;
      }
      if (what == "freespace" && argc == 6 && argv[4][0] != '\0') {
        machine->SetFreeSpace(argv[4][0], std::stoll(argv[5]));
        return 0;
      }
      return Usage();
    }
    if (command == "reg" && argc == 3) {
      std::ifstream in(fs::path(root) / "registry.reg", std::ios::binary);
      std::cout << in.rdbuf();
      return 0;
    }
    if (command == "tree" && (argc == 3 || argc == 4)) {
      return Tree(*machine, argc == 4 ? argv[3] : "C:\\");
    }
  } catch (const std::exception& e) {
    std::cerr << "qr5machine: " << e.what() << "\n";
    return 1;
  }
  return Usage();
}
