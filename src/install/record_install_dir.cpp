#include "install/record_install_dir.h"

#include "app/session_state.h"

namespace qr5::install {

void RecordInstallDir(const std::string& install_dir) {
  app::Session().RecordedInstallDir = install_dir;
}

}  // namespace qr5::install
