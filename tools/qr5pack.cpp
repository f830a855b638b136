// qr5pack: makes and checks the setup payload on the host.
//   qr5pack pack STUB FOLDER OUT
//   qr5pack list ARCHIVE
//   qr5pack test ARCHIVE [--password P]
//   qr5pack extract ARCHIVE DIR [--password P] [--flat]
//   qr5pack manifest FOLDER OUT.cpp [--exclude NAME] [--substitute NAME FILE]...
// test and extract print one line per entry (ok, bad-crc, skipped, failed,
// then the name) and exit 0 when every entry is ok, 1 when one is not, 2 when
// the archive itself cannot be read.
#include <cinttypes>
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "archive/zip_archive.h"
#include "archive/zip_errors.h"
#include "host_machine.h"
#include "suite_manifest.h"
#include "zip_writer.h"

namespace {

using qr5::archive::TZipArchive;
using qr5::archive::TZipHeaderInfo;

// Extraction that can resume after the entry an exception stopped at.
class ResumableArchive : public TZipArchive {
 public:
  int resume_at = 0;

 protected:
  bool MatchesFilesList(int index, const TZipHeaderInfo&) const override { return index >= resume_at; }
};

int Usage() {
  std::fprintf(stderr,
               "usage: qr5pack pack STUB FOLDER OUT\n"
               "       qr5pack list ARCHIVE\n"
               "       qr5pack test ARCHIVE [--password P]\n"
               "       qr5pack extract ARCHIVE DIR [--password P] [--flat]\n"
               "       qr5pack manifest FOLDER OUT.cpp [--exclude NAME] [--substitute NAME FILE]...\n");
  return 2;
}

// Reads the directory; an archive without end record is an error here.
void ReadArchive(TZipArchive& zip, const std::string& path) {
  zip.SetZipName(path);
  zip.LoadDirectory();
  zip.OpenArchive();
  zip.CloseArchive();
}

int List(const std::string& path) {
  qr5::tools::HostMachine host;
  qr5::platform::Install(&host.machine());
  TZipArchive zip;
  try {
    ReadArchive(zip, path);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  for (int i = 0; i < zip.EntryCount(); ++i) {
    const auto& e = zip.Entry(i);
    std::printf("%d\t%u\t%04x\t%" PRIu32 "\t%" PRIu32 "\t%08" PRIx32 "\t%s\n", i, e.CompressionMethod,
                e.BitFlags, e.CompressedSize, e.UncompressedSize, e.Crc32, e.StoredPath().c_str());
  }
  return 0;
}

enum class Outcome { kNone, kOk, kBadCrc, kSkipped, kFailed };

// Runs every entry through the reader; an exception that ends a run marks
// the entry it happened in as failed, and the run goes on after it.
int Extract(const std::string& path, const std::string& dest, const std::string& password,
            bool flat, bool write) {
  const std::string sink = "\x01qr5pack-test";  // a name no real path has
  qr5::tools::HostMachine host(write ? "" : sink);
  qr5::platform::Install(&host.machine());
  ResumableArchive zip;
  zip.DoProcessMessages = false;
  try {
    ReadArchive(zip, path);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  std::vector<Outcome> outcome(static_cast<size_t>(zip.EntryCount()), Outcome::kNone);
  zip.OverwriteMode = qr5::archive::TOverwriteMode::Always;
  zip.ReplaceReadOnly = true;
  zip.RecreateDirs = !flat;
  zip.Password = password;
  zip.MessageBoxHook = [](const std::string& text, const std::string& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return qr5::platform::IDOK;
  };
  zip.OnEndUnZip = [&](int index, const std::string&) { outcome[static_cast<size_t>(index)] = Outcome::kOk; };
  zip.OnBadCRC = [&](uint32_t, uint32_t, int index) { outcome[static_cast<size_t>(index)] = Outcome::kBadCrc; };
  zip.OnSkippingFile = [&](int, const std::string&, int index, bool&) {
    outcome[static_cast<size_t>(index)] = Outcome::kSkipped;
  };
  for (;;) {
    zip.FilesList = {"*"};  // every entry from resume_at on
    zip.SetDestDir(write ? dest : sink);
    try {
      zip.ExtractSelected();
      break;
    } catch (const std::exception& e) {
      int current = zip.CurrentIndex();
      if (current < 0) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
      }
      std::fprintf(stderr, "%s: %s\n", zip.Entry(current).StoredPath().c_str(), e.what());
      outcome[static_cast<size_t>(current)] = Outcome::kFailed;
      zip.resume_at = current + 1;
    }
  }

  int status = 0;
  for (int i = 0; i < zip.EntryCount(); ++i) {
    const auto& entry = zip.Entry(i);
    Outcome o = outcome[static_cast<size_t>(i)];
    // Folder entries need nothing beyond their folder.
    if (entry.IsFolder() && o == Outcome::kNone) o = Outcome::kOk;
    const char* word = "failed";
    switch (o) {
      case Outcome::kOk: word = "ok"; break;
      case Outcome::kBadCrc: word = "bad-crc"; break;
      case Outcome::kSkipped: word = "skipped"; break;
      default: break;
    }
    if (o != Outcome::kOk) status = 1;
    std::printf("%s\t%s\n", word, entry.StoredPath().c_str());
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  std::string password;
  bool flat = false;
  std::string exclude;
  std::map<std::string, std::string> substitutes;
  std::vector<std::string> positional;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--password" && i + 1 < args.size()) {
      password = args[++i];
    } else if (args[i] == "--substitute" && i + 2 < args.size()) {
      substitutes[args[i + 1]] = args[i + 2];
      i += 2;
    } else if (args[i] == "--exclude" && i + 1 < args.size()) {
      exclude = args[++i];
    } else if (args[i] == "--flat") {
      flat = true;
    } else {
      positional.push_back(args[i]);
    }
  }
  const std::string& command = args[0];
  try {
    if (command == "pack" && positional.size() == 3) {
      std::string error = qr5::tools::PackFolder(positional[0], positional[1], positional[2]);
      if (!error.empty()) {
        std::fprintf(stderr, "qr5pack: %s\n", error.c_str());
        return 2;
      }
      return 0;
    }
    if (command == "manifest" && positional.size() == 2) {
      const std::string error = qr5::tools::WriteSuiteManifest(positional[0], positional[1], exclude, substitutes);
      if (!error.empty()) {
        std::fprintf(stderr, "qr5pack: %s\n", error.c_str());
        return 2;
      }
      return 0;
    }
    if (command == "list" && positional.size() == 1) return List(positional[0]);
    if (command == "test" && positional.size() == 1) return Extract(positional[0], "", password, false, false);
    if (command == "extract" && positional.size() == 2) {
      return Extract(positional[0], positional[1], password, flat, true);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qr5pack: %s\n", e.what());
    return 2;
  }
  return Usage();
}
