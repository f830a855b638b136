#include "lang/extract_language_files.h"

#include "archive/zip_archive.h"
#include "lang/strip_trailing_backslash.h"

namespace qr5::lang {

// A payload whose directory is damaged (rebuilt from the local headers,
// records sharing a local header, counts that disagree) may have lost
// entries: refused here, so the setup ends as without a payload; the
// component stays strict for the later passes.
bool ExtractLanguageFiles(archive::TZipArchive& zip, const std::string& setup_file,
                          const std::string& temp_dir) {
  try {
    zip.RequireSoundDirectory = true;
    zip.SetZipName(setup_file);
    zip.LoadDirectory();
    zip.FilesList.push_back("LANGUAGE.*");
    zip.FilesList.push_back("LICENSE.*");
    zip.SetDestDir(StripTrailingBackslash(temp_dir));
    zip.ExtractSelected();
  } catch (...) {
    return false;
  }
  return true;
}

}  // namespace qr5::lang
