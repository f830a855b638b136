// DoInstallBDE: the database engine's files and its registry configuration.
#include "app/main_form.h"
#include "archive/zip_archive.h"
#include "install/engine_settings.h"
#include "install/install_outcome.h"
#include "install/registry_key.h"
#include "install/registry_records.h"
#include "platform/platform.h"

namespace qr5::app {

void TMainForm::DoInstallBDE() {
  ZipArchive1TotalPercentDone(0);
  try {
    install::PassWatch watch(*ZipArchive1);
    ZipArchive1->SetZipName(platform::Sys().files->GetModuleFileName());
    ZipArchive1->RecreateDirs = false;
    ZipArchive1->RetainAttributes = true;
    ZipArchive1->LoadDirectory();
    ZipArchive1->FilesList.push_back("BDE\\*.*");
    const std::string engine_dir = install::EngineDirFor(install::GetProgramFilesDir());
    ZipArchive1->SetDestDir(engine_dir);
    // One level only; the extraction creates any missing parent.
    platform::Sys().files->CreateDirectory(engine_dir);
    // The settings go in before the files, so an unreadable archive above
    // leaves the engine's configuration untouched.
    try {
      for (const auto& setting : install::EngineSettings(engine_dir)) {
        install::WriteEngineSetting(setting.sub_key, setting.name, setting.data);
      }
    } catch (const install::ERegistryException&) {
      // The files still go in; the user is told the settings did not.
      install::NoteFailure(install::kEngineKeyName);
    }
    ZipArchive1->ExtractSelected();
  } catch (...) {
    install::NoteExtractionFailure();
  }
}

}  // namespace qr5::app
