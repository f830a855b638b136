#include "lang/extract_language_files.h"

#include "archive/zip_archive.h"
#include "archive/zip_errors.h"
#include "lang/failure_reason.h"
#include "lang/strip_trailing_backslash.h"
#include "platform/platform.h"

namespace qr5::lang {

namespace {

bool Exists(const std::string& path) {
  return platform::Sys().files->GetFileAttributes(path) != platform::INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// A payload whose directory is damaged (rebuilt from the local headers,
// records sharing a local header, counts that disagree) may have lost
// entries: refused here, so the setup ends as without a payload; the
// component stays strict for the later passes. A file that could not be
// written is the temporary folder's fault, not the setup file's: without it
// a language would silently be missing from the list.
LanguagePass ExtractLanguageFiles(archive::TZipArchive& zip, const std::string& setup_file,
                                  const std::string& temp_dir) {
  LanguagePass pass;
  const auto note = [&pass](uint32_t error) {
    if (pass.outcome != LanguagePass::Outcome::kDone) return;
    pass.outcome = LanguagePass::Outcome::kTempNotWritable;
    pass.error = error;
  };
  try {
    zip.RequireSoundDirectory = true;
    zip.SetZipName(setup_file);
    zip.LoadDirectory();
    zip.FilesList.push_back("LANGUAGE.*");
    zip.FilesList.push_back("LICENSE.*");
    zip.SetDestDir(StripTrailingBackslash(temp_dir));
    zip.OnSkippingFile = [&zip, &note](int reason, const std::string& name, int, bool&) {
      if (reason == archive::srCreateError && zip.LastSystemError() != 0 && !Exists(name)) {
        note(zip.LastSystemError());
      }
    };
    zip.ExtractSelected();
    zip.OnSkippingFile = nullptr;
  } catch (const archive::ECantWriteUCF& e) {
    zip.OnSkippingFile = nullptr;
    note(e.system_error != 0 ? e.system_error : platform::ERROR_ACCESS_DENIED);
  } catch (...) {
    zip.OnSkippingFile = nullptr;
    if (pass.outcome == LanguagePass::Outcome::kDone) pass.outcome = LanguagePass::Outcome::kNoPayload;
  }
  return pass;
}

std::string TempFolderMessage(const std::string& temp_dir, uint32_t error) {
  // The English file when it came out, for the same texts the pages use.
  const TIniFile english(temp_dir + "LANGUAGE.ENG");
  return "Setup could not write to the temporary folder " + temp_dir + "\n\n" +
         FailureReason(english, error, temp_dir);
}

}  // namespace qr5::lang
