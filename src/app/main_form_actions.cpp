// TMainForm's steps that the wizard driver runs: each hands the archive
// component, the folders and the language of this session to the language
// or install layer that does the work.
#include "app/main_form.h"

#include "app/temp_directory.h"
#include "archive/zip_archive.h"
#include "forms/application.h"
#include "install/install_engine.h"
#include "install/install_helper_library.h"
#include "install/install_suite.h"
#include "install/machine_rights.h"
#include "install/program_group.h"
#include "install/setup_leftovers.h"
#include "lang/extract_language_files.h"
#include "lang/suite_texts.h"
#include "platform/platform.h"
#include "session/run_log.h"
#include "session/session_state.h"

namespace qr5::app {

using session::Session;

namespace {

std::string SetupFile() { return platform::Sys().files->GetModuleFileName(); }

}  // namespace

// Without the language files the setup cannot go on: the user is told why
// and the application asked to end; the language page then returns Cancel.
void TMainForm::DoExtractLanguageFiles() {
  const lang::LanguagePass pass = lang::ExtractLanguageFiles(*ZipArchive1, SetupFile(), Session().TempDir);
  switch (pass.outcome) {
    case lang::LanguagePass::Outcome::kDone:
      return;
    case lang::LanguagePass::Outcome::kNoPayload:
      Session().Outcome.could_not_start = true;
      forms::App().MessageBox(lang::kNoPayloadMessage, forms::App().title, platform::MB_OK);
      break;
    case lang::LanguagePass::Outcome::kTempNotWritable:
      Session().Outcome.fatal_before = true;
      forms::App().MessageBox(lang::TempFolderMessage(Session().TempDir, pass.error), forms::App().title,
                              platform::MB_OK | platform::MB_ICONERROR);
      break;
  }
  forms::App().Terminate();
}

void TMainForm::LoadResourceLanguage(const std::string& path) {
  for (auto& [key, text] : lang::LoadSuiteTexts(path)) Session().SuiteTexts[key] = std::move(text);
}

bool TMainForm::CheckMachineRights() {
  if (install::MayInstallForTheMachine()) return true;
  forms::App().MessageBox(install::NeedsAdministratorMessage(Session().LanguageFilePath), forms::App().title,
                          platform::MB_OK | platform::MB_ICONERROR);
  forms::App().Terminate();
  return false;
}

void TMainForm::DoInstall() {
  ZipArchive1TotalPercentDone(0);
  const session::SessionState& session = Session();
  install::InstallSuite(*ZipArchive1, SetupFile(), session.InstallDir, session.LanguageName);
  // A killed run's temporary files in the folders just written; their names
  // were passed over meanwhile.
  if (!install::RemoveStaleTemporaries(GetWindowsTempDirectory(), install::SuiteFolders(*ZipArchive1, session.InstallDir),
                                       session.TempDir)) {
    session::Log().Line("Could not delete a temporary file an earlier run left");
  }
}

void TMainForm::DoInstallKAVO5DLL() {
  install::InstallHelperLibrary(Session().SetupDir, Session().InstallDir);
}

void TMainForm::DoInstallBDE() {
  ZipArchive1TotalPercentDone(0);
  install::InstallDatabaseEngine(*ZipArchive1, SetupFile());
}

void TMainForm::CreateProgramGroup(const std::string& ext, const std::string& name) {
  install::CreateProgramGroup(Session().InstallDir, ext, name, Session().PreviousInstallPath);
}

}  // namespace qr5::app
