#include "install/install_suite.h"

#include <algorithm>

#include "archive/zip_archive.h"
#include "install/install_outcome.h"
#include "install/registry_key.h"
#include "install/registry_records.h"
#include "lang/strip_trailing_backslash.h"

namespace qr5::install {

namespace {

// The suite's folders first, then everything else; "*.*" alone would select
// the same entries, the folder patterns only document the layout.
constexpr const char* kSuitePatterns[] = {
    "AWARDS\\*.*", "BACKUP\\*.*", "CHECK\\*.*",  "CLUSTER\\*.*", "DOC\\*.*",
    "FILES\\*.*",  "IMAGES\\*.*", "LOG\\*.*",    "MANAGER\\*.*", "MAPS\\*.*",
    "QSL\\*.*",    "RADIO\\*.*",  "SOUND\\*.*",  "SYSTEM\\*.*",  "*.*",
};

}  // namespace

std::vector<std::string> SuiteFolders(const archive::TZipArchive& zip, const std::string& install_dir) {
  const std::string root = lang::StripTrailingBackslash(install_dir) + "\\";
  std::vector<std::string> folders{root};
  for (int i = 0; i < zip.EntryCount(); ++i) {
    const std::string folder = root + zip.Entry(i).Directory;
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  return folders;
}

void InstallSuite(archive::TZipArchive& zip, const std::string& setup_file,
                  const std::string& install_dir, const std::string& language_name) {
  // Only the next run's preselection depends on the record: the suite is
  // installed without it, and the user told.
  try {
    WriteRegLanguage(language_name);
    WriteRegInstallPath(install_dir);
  } catch (const ERegistryException& e) {
    NoteFailure(kUserRecordKey, e.error);
  }

  try {
    PassWatch watch(zip);
    zip.SetZipName(setup_file);
    zip.RecreateDirs = true;
    zip.RetainAttributes = true;
    zip.LoadDirectory();
    for (const char* pattern : kSuitePatterns) zip.FilesList.push_back(pattern);
    zip.SetDestDir(lang::StripTrailingBackslash(install_dir));
    zip.ExtractSelected();
  } catch (...) {
    NoteExtractionFailure(zip);
  }

  // Written also after a failure, so that what was installed can be
  // removed; the folder as it was given, trailing backslash or not.
  UninstallEntryExtras extras;
  extras.install_location = install_dir;
  uint64_t bytes = 0;
  for (int i = 0; i < zip.EntryCount(); ++i) bytes += zip.Entry(i).UncompressedSize;
  extras.estimated_kb = static_cast<uint32_t>((bytes + 1023) / 1024);
  try {
    WriteUninstallEntry(UninstallCommand(install_dir), install_dir + "\\QUORLIN5.ICO", extras);
  } catch (const ERegistryException& e) {
    NoteFailure(kUninstallEntryKey, e.error);
  }
}

}  // namespace qr5::install
