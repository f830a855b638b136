#include "pages/form_step6.h"

namespace qr5::pages {

TFormStep6* FormStep6 = nullptr;

TFormStep6::TFormStep6() : app::Form("TFormStep6") {}

}  // namespace qr5::pages
