#include "platform/sim/sim_system.h"

#include "platform/sim/sim_codepage.h"

namespace qr5::platform::sim {

bool SimSystemInfo::GetVersion(OsVersion* version) {
  *version = ctx_.config.version;
  return true;
}

std::string SimSystemInfo::OemToAnsi(const std::string& oem) { return sim::OemToAnsi(oem); }

bool SimSystemInfo::IsLeadByte(char byte) { return sim::IsLeadByte(ctx_.config.code_page, byte); }

std::string SimSystemInfo::UpperCase(const std::string& text) {
  return sim::UpperCase(ctx_.config.code_page, text);
}

}  // namespace qr5::platform::sim
