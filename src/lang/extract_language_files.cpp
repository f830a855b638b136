#include "forms/application.h"
#include "app/main_form.h"
#include "app/session_state.h"
#include "archive/zip_archive.h"
#include "lang/strip_trailing_backslash.h"
#include "platform/platform.h"

namespace qr5::app {

namespace {

constexpr const char* kNoPayloadMessage = "Unable to run the stub program without data to expand...";

}  // namespace

// Takes the language and license files out of the payload appended to this
// executable into the temporary folder, where the language page finds them.
// Without them the setup cannot go on: the user is told so and the
// application asked to end; the language page then returns Cancel. So it
// goes too for a payload whose directory is damaged (rebuilt from the local
// headers, records sharing a local header, counts that disagree): it may
// have lost entries, and the component stays strict for the later passes.
void TMainForm::DoExtractLanguageFiles() {
  try {
    archive::TZipArchive& zip = *ZipArchive1;
    zip.RequireSoundDirectory = true;
    zip.SetZipName(platform::Sys().files->GetModuleFileName());
    zip.LoadDirectory();
    zip.FilesList.push_back("LANGUAGE.*");
    zip.FilesList.push_back("LICENSE.*");
    zip.SetDestDir(lang::StripTrailingBackslash(Session().TempDir));
    zip.ExtractSelected();
  } catch (...) {
    forms::App().MessageBox(kNoPayloadMessage, forms::App().title, platform::MB_OK);
    forms::App().Terminate();
  }
}

}  // namespace qr5::app
