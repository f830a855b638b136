#include "pages/form_step2.h"

namespace qr5::pages {

TFormStep2* FormStep2 = nullptr;

TFormStep2::TFormStep2() : app::Form("TFormStep2") {}

}  // namespace qr5::pages
