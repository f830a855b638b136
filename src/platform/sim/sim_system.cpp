#include "platform/sim/sim_system.h"

#include "platform/sim/sim_codepage.h"

namespace qr5::platform::sim {

bool SimSystemInfo::GetVersion(OsVersion* version) {
  *version = ctx_.config.version;
  return true;
}

std::string SimSystemInfo::OemToAnsi(const std::string& oem) { return sim::OemToAnsi(oem); }

}  // namespace qr5::platform::sim
