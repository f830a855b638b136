#include "install/program_group.h"

#include "install/install_outcome.h"
#include "install/registry_key.h"
#include "install/registry_records.h"
#include "install/remove_shell_sub_folder.h"
#include "install/shell_link.h"
#include "install/suite_program_table.h"
#include "install/suite_text.h"
#include "lang/ini_file.h"
#include "lang/setup_keys.h"
#include "platform/error.h"
#include "platform/platform.h"

namespace qr5::install {

namespace {

bool FileExists(const std::string& path) {
  const uint32_t attributes = platform::Sys().files->GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void CreateProgramGroup(const std::string& install_dir, const std::string& ext,
                        const std::string& language_name, const std::string& earlier_dir) {
  try {
    WriteRegLanguage(language_name);
  } catch (const ERegistryException& e) {
    NoteFailure(kUserRecordKey, e.error);
  }

  const std::string language_part = ext.empty() ? "" : ext.substr(1);
  for (const auto& program : SuiteProgramTable) {
    const std::string ini_path = install_dir + "\\" + program.language_ini;
    if (!FileExists(ini_path)) continue;
    // A program whose INI file cannot be written keeps its language; the
    // others and the group are still made, and the user told.
    try {
      lang::TIniFile(ini_path).WriteString(lang::kSetupSection, "LanguageFile", program.language_prefix + language_part);
    } catch (const Error&) {
      NoteFailure(ini_path, platform::Sys().files->GetLastError());
    }
  }

  // The shortcuts of an earlier installation go, so no caption of another
  // language survives; the user's own files in the group stay.
  RemoveShellSubFolder(kGroupSubPath, install_dir, earlier_dir);
  // Without the group's folder no shortcut can be made: told once.
  if (!CreateShellSubFolder(sfPrograms, kGroupSubPath)) return;
  for (const auto& program : SuiteProgramTable) {
    CreateShellLink(install_dir + "\\" + program.executable, SuiteText(program.icon_key),
                    sfPrograms, kGroupSubPath);
  }

  const std::string manuals_sub_path = std::string(kGroupSubPath) + "\\" + SuiteText(lang::kManualsFolderKey);
  if (!CreateShellSubFolder(sfPrograms, manuals_sub_path)) return;
  const std::string doc_folder = install_dir + "\\DOC\\" + language_part + "\\";
  for (const auto& program : SuiteProgramTable) {
    CreateShellLink(doc_folder + program.manual, SuiteText(program.manual_key),
                    sfPrograms, manuals_sub_path);
  }
}

}  // namespace qr5::install
