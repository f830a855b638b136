#include "pages/dlg_error.h"

namespace qr5::pages {

TDlgError* DlgError = nullptr;

TDlgError::TDlgError() : app::Form("TDlgError") {}

}  // namespace qr5::pages
