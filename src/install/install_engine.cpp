#include "install/install_engine.h"

#include "archive/zip_archive.h"
#include "install/engine_settings.h"
#include "install/install_outcome.h"
#include "install/registry_key.h"
#include "install/registry_records.h"
#include "platform/platform.h"

namespace qr5::install {

void InstallDatabaseEngine(archive::TZipArchive& zip, const std::string& setup_file) {
  try {
    PassWatch watch(zip);
    zip.SetZipName(setup_file);
    zip.RecreateDirs = false;
    zip.RetainAttributes = true;
    zip.LoadDirectory();
    zip.FilesList.push_back("BDE\\*.*");
    const std::string engine_dir = EngineDirFor(GetProgramFilesDir());
    zip.SetDestDir(engine_dir);
    // One level only; the extraction creates any missing parent.
    platform::Sys().files->CreateDirectory(engine_dir);
    // The settings go in before the files, so an unreadable archive above
    // leaves the engine's configuration untouched.
    try {
      for (const auto& setting : EngineSettings(engine_dir)) {
        WriteEngineSetting(setting.sub_key, setting.name, setting.data);
      }
    } catch (const ERegistryException& e) {
      // The files still go in; the user is told the settings did not.
      NoteFailure(kEngineKeyName, e.error);
    }
    zip.ExtractSelected();
  } catch (...) {
    NoteExtractionFailure(zip);
  }
}

}  // namespace qr5::install
