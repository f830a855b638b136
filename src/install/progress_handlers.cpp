// The archive component's progress events, shown on the progress page. They
// also fire during the language-file pass, while the page is still hidden.
#include <algorithm>

#include "app/main_form.h"
#include "pages/form_step5.h"

namespace qr5::app {

void TMainForm::ZipArchive1TotalPercentDone(int percent) {
  if (pages::FormStep5 == nullptr) return;
  if (Control* bar = pages::FormStep5->Find("SCProgress1")) {
    bar->position = std::clamp(percent, 0, 100);
    pages::FormStep5->Changed();
  }
}

void TMainForm::ZipArchive1StartUnZip(int /*file_index*/, std::string& file_name,
                                      bool& /*skip*/) {
  if (pages::FormStep5 == nullptr) return;
  if (Control* label = pages::FormStep5->Find("Label2")) {
    label->text = file_name;
    pages::FormStep5->Changed();
  }
}

}  // namespace qr5::app
