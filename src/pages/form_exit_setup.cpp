#include "pages/form_exit_setup.h"

namespace qr5::pages {

TFormExitSetup* FormExitSetup = nullptr;

TFormExitSetup::TFormExitSetup() : app::Form("TFormExitSetup") {}

}  // namespace qr5::pages
