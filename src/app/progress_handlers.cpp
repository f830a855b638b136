// The archive component's progress events, shown on the progress page. They
// also fire during the language-file pass, while the page is still hidden.
#include "app/main_form.h"
#include "pages/form_step5.h"

namespace qr5::app {

void TMainForm::ZipArchive1TotalPercentDone(int percent) {
  if (pages::FormStep5 != nullptr) pages::FormStep5->SetProgressPosition(percent);
}

void TMainForm::ZipArchive1StartUnZip(int /*file_index*/, std::string& file_name, bool& /*skip*/) {
  if (pages::FormStep5 != nullptr) pages::FormStep5->ShowFileName(file_name);
}

}  // namespace qr5::app
