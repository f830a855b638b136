#include "pages/form_step4.h"

namespace qr5::pages {

TFormStep4* FormStep4 = nullptr;

TFormStep4::TFormStep4() : app::Form("TFormStep4") {}

}  // namespace qr5::pages
