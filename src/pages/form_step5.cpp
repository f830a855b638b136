#include "pages/form_step5.h"

namespace qr5::pages {

TFormStep5* FormStep5 = nullptr;

TFormStep5::TFormStep5() : app::Form("TFormStep5") {}

}  // namespace qr5::pages
