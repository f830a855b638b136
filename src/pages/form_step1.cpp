#include "pages/form_step1.h"

namespace qr5::pages {

TFormStep1* FormStep1 = nullptr;

TFormStep1::TFormStep1() : app::Form("TFormStep1") {}

}  // namespace qr5::pages
