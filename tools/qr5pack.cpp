// qr5pack: makes and checks the setup payload on the host.
//   qr5pack pack STUB FOLDER OUT
//   qr5pack list ARCHIVE
//   qr5pack test ARCHIVE [--password P]
//   qr5pack extract ARCHIVE DIR [--password P] [--flat]
//   qr5pack manifest FOLDER OUT.cpp [--exclude NAME] [--substitute NAME FILE]... [--helper FILE]
// test and extract print one line per entry (ok, bad-crc, skipped, failed,
// refused, then the name and, for an entry not extracted, why), then, for a
// directory that is not sound, one line "damaged", "directory" and what is
// wrong with its counts; they exit 0 when every entry is ok and the
// directory sound, 1 when not, 2 when the archive itself cannot be read. test extracts into a fresh folder of its own, removed afterwards,
// so it judges every entry exactly as extract does.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
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
               "       qr5pack manifest FOLDER OUT.cpp [--exclude NAME] [--substitute NAME FILE]... [--helper FILE]\n");
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

// The names of central headers that lie in the central directory beyond the
// entry count of the end record: the reader never sees them, and an archive
// that hides entries that way must not pass.
std::vector<std::string> UncountedEntries(const std::string& path, const TZipArchive& zip) {
  std::vector<std::string> names;
  std::ifstream in(path, std::ios::binary);
  const auto& end = zip.EndCentral();
  if (!in || zip.ScanMode()) return names;
  in.seekg(end.CentralOffset);
  std::vector<char> directory(end.CentralSize);
  if (!in.read(directory.data(), static_cast<std::streamsize>(directory.size()))) return names;
  const auto u16 = [&directory](size_t at) {
    return static_cast<size_t>(static_cast<uint8_t>(directory[at]) | static_cast<uint8_t>(directory[at + 1]) << 8);
  };
  size_t at = 0;
  int count = 0;
  while (at + 46 <= directory.size() && std::string(directory.data() + at, 4) == "PK\x01\x02") {
    const size_t name_length = u16(at + 28), length = 46 + name_length + u16(at + 30) + u16(at + 32);
    if (at + length > directory.size()) break;
    if (++count > zip.EntryCount()) names.emplace_back(directory.data() + at + 46, name_length);
    at += length;
  }
  return names;
}

// Runs every entry through the reader; an exception that ends a run marks
// the entry it happened in as failed, and the run goes on after it.
int Extract(const std::string& path, const std::string& dest, const std::string& password,
            bool flat) {
  qr5::tools::HostMachine host;
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
  std::vector<std::string> why(outcome.size());
  zip.OverwriteMode = qr5::archive::TOverwriteMode::Always;
  zip.ReplaceReadOnly = true;
  zip.RecreateDirs = !flat;
  zip.Password = password;
  zip.MessageBoxHook = [](const std::string& text, const std::string& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return qr5::platform::IDOK;
  };
  zip.OnEndUnZip = [&](int index, const std::string&) { outcome[static_cast<size_t>(index)] = Outcome::kOk; };
  zip.OnBadCRC = [&](uint32_t, uint32_t, int index) {
    outcome[static_cast<size_t>(index)] = Outcome::kBadCrc;
    why[static_cast<size_t>(index)] = "CRC-32 mismatch";
  };
  zip.OnSkippingFile = [&](int reason, const std::string&, int index, bool&) {
    outcome[static_cast<size_t>(index)] = Outcome::kSkipped;
    why[static_cast<size_t>(index)] = reason == qr5::archive::srBadPassword   ? "bad password"
                                      : reason == qr5::archive::srNoOverwrite ? "not overwritten"
                                                                              : zip.LastRefusal();
  };
  for (;;) {
    zip.FilesList = {"*"};  // every entry from resume_at on
    zip.SetDestDir(dest);
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
      why[static_cast<size_t>(current)] = e.what();
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
    if (o == Outcome::kOk) {
      std::printf("%s\t%s\n", word, entry.StoredPath().c_str());
    } else {
      status = 1;
      std::printf("%s\t%s\t%s\n", word, entry.StoredPath().c_str(), why[static_cast<size_t>(i)].c_str());
    }
  }
  for (const std::string& name : UncountedEntries(path, zip)) {
    status = 1;
    std::printf("refused\t%s\tbeyond the end record's entry count\n", name.c_str());
  }
  // Entries may be missing that no line names (a local header the recovery
  // scan could not find, a record naming another file's header).
  if (const auto& soundness = zip.DirectorySoundness(); !soundness.Sound()) {
    status = 1;
    std::printf("damaged\tdirectory\t%s\n", soundness.Describe().c_str());
  }
  return status;
}

// test: extract into a fresh folder below the host's temporary folder.
int Test(const std::string& path, const std::string& password) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error) {
    std::fprintf(stderr, "qr5pack: no temporary folder\n");
    return 2;
  }
  fs::path folder;
  for (int n = 0;; ++n) {
    folder = base / ("qr5pack-test-" + std::to_string(n));
    if (fs::create_directory(folder, error)) break;
    if (error || n > 10000) {
      std::fprintf(stderr, "qr5pack: cannot make a folder below %s\n", base.string().c_str());
      return 2;
    }
  }
  const int status = Extract(path, folder.string(), password, false);
  fs::remove_all(folder, error);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  std::string password;
  bool flat = false;
  std::string exclude;
  std::string helper;
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
    } else if (args[i] == "--helper" && i + 1 < args.size()) {
      helper = args[++i];
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
      const std::string error = qr5::tools::WriteSuiteManifest(positional[0], positional[1], exclude, substitutes, helper);
      if (!error.empty()) {
        std::fprintf(stderr, "qr5pack: %s\n", error.c_str());
        return 2;
      }
      return 0;
    }
    if (command == "list" && positional.size() == 1) return List(positional[0]);
    if (command == "test" && positional.size() == 1) return Test(positional[0], password);
    if (command == "extract" && positional.size() == 2) return Extract(positional[0], positional[1], password, flat);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qr5pack: %s\n", e.what());
    return 2;
  }
  return Usage();
}
