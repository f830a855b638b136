// DoInstall: the suite itself, with the registry records around it.
#include "app/main_form.h"
#include "app/session_state.h"
#include "archive/zip_archive.h"
#include "install/install_outcome.h"
#include "install/registry_key.h"
#include "install/registry_records.h"
#include "lang/strip_trailing_backslash.h"
#include "platform/platform.h"

namespace qr5::app {

namespace {

// The suite's folders first, then everything else; "*.*" alone would select
// the same entries, the folder patterns only document the layout.
constexpr const char* kSuitePatterns[] = {
    "AWARDS\\*.*", "BACKUP\\*.*", "CHECK\\*.*",  "CLUSTER\\*.*", "DOC\\*.*",
    "FILES\\*.*",  "IMAGES\\*.*", "LOG\\*.*",    "MANAGER\\*.*", "MAPS\\*.*",
    "QSL\\*.*",    "RADIO\\*.*",  "SOUND\\*.*",  "SYSTEM\\*.*",  "*.*",
};

}  // namespace

void TMainForm::DoInstall() {
  ZipArchive1TotalPercentDone(0);

  SessionState& session = Session();
  install::RecordInstallDir(session.InstallDir);
  // Only the next run's preselection depends on the record: the suite is
  // installed without it, and the user told.
  try {
    install::WriteRegLanguage(session.LanguageName);
    install::WriteRegInstallPath(session.InstallDir);
  } catch (const install::ERegistryException&) {
    install::NoteFailure(install::kUserRecordKey);
  }

  try {
    install::PassWatch watch(*ZipArchive1);
    ZipArchive1->SetZipName(platform::Sys().files->GetModuleFileName());
    ZipArchive1->RecreateDirs = true;
    ZipArchive1->RetainAttributes = true;
    ZipArchive1->LoadDirectory();
    for (const char* pattern : kSuitePatterns) ZipArchive1->FilesList.push_back(pattern);
    ZipArchive1->SetDestDir(lang::StripTrailingBackslash(session.InstallDir));
    ZipArchive1->ExtractSelected();
  } catch (...) {
    install::NoteExtractionFailure();
  }

  // Written also after a failure, so that what was installed can be
  // removed; the folder as it was given, trailing backslash or not.
  try {
    install::WriteUninstallEntry(install::UninstallCommand(session.InstallDir),
                                 session.InstallDir + "\\QUORLIN5.ICO");
  } catch (const install::ERegistryException&) {
    install::NoteFailure(install::kUninstallEntryKey);
  }
}

}  // namespace qr5::app
