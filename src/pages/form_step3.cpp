#include "pages/form_step3.h"

namespace qr5::pages {

TFormStep3* FormStep3 = nullptr;

TFormStep3::TFormStep3() : app::Form("TFormStep3") {}

}  // namespace qr5::pages
