#include "pages/dlg_browse_install_path.h"

namespace qr5::pages {

TDlgBrowseInstallPath* DlgBrowseInstallPath = nullptr;

TDlgBrowseInstallPath::TDlgBrowseInstallPath() : app::Form("TDlgBrowseInstallPath") {}

}  // namespace qr5::pages
