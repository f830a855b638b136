// The program group step: tells each suite program its language file and
// rebuilds the Start-menu group with a shortcut for every program and every
// manual.
#include "app/main_form.h"
#include "app/session_state.h"
#include <stdexcept>

#include "install/install_outcome.h"
#include "install/registry_key.h"
#include "install/registry_records.h"
#include "install/shell_link.h"
#include "install/suite_program_table.h"
#include "lang/ini_file.h"
#include "platform/platform.h"

namespace qr5::app {

namespace {

constexpr char kGroupSubPath[] = "\\Quorlin 5";

bool FileExists(const std::string& path) {
  const uint32_t attributes = platform::Sys().files->GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void TMainForm::CreateProgramGroup(const std::string& ext, const std::string& name) {
  using install::SuiteProgramTable;
  using install::SuiteText;
  try {
    install::WriteRegLanguage(name);
  } catch (const install::ERegistryException&) {
    install::NoteFailure(install::kUserRecordKey);
  }

  const std::string install_dir = Session().RecordedInstallDir;
  const std::string language_part = ext.empty() ? "" : ext.substr(1);
  for (const auto& program : SuiteProgramTable) {
    const std::string ini_path = install_dir + "\\" + program.language_ini;
    if (!FileExists(ini_path)) continue;
    // A program whose INI file cannot be written keeps its language; the
    // others and the group are still made, and the user told.
    try {
      lang::TIniFile(ini_path).WriteString("Setup", "LanguageFile", program.language_prefix + language_part);
    } catch (const std::runtime_error&) {
      install::NoteFailure(ini_path);
    }
  }

  // The group of an earlier installation goes with every shortcut in it, so
  // no caption of another language survives.
  install::RemoveShellSubFolder(kGroupSubPath);
  install::CreateShellSubFolder(install::sfPrograms, kGroupSubPath);
  for (const auto& program : SuiteProgramTable) {
    install::CreateShellLink(install_dir + "\\" + program.executable, SuiteText(program.icon_key),
                             install::sfPrograms, kGroupSubPath);
  }

  const std::string manuals_sub_path = std::string(kGroupSubPath) + "\\" + SuiteText("010");
  install::CreateShellSubFolder(install::sfPrograms, manuals_sub_path);
  const std::string doc_folder = install_dir + "\\DOC\\" + language_part + "\\";
  for (const auto& program : SuiteProgramTable) {
    install::CreateShellLink(doc_folder + program.manual, SuiteText(program.manual_key),
                             install::sfPrograms, manuals_sub_path);
  }
}

}  // namespace qr5::app
