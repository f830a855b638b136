// Locale, version and code pages of the simulated machine, from its
// machine.ini.
#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_context.h"

namespace qr5::platform::sim {

class SimSystemInfo : public SystemInfo {
 public:
  explicit SimSystemInfo(SimContext& context) : ctx_(context) {}
  std::string ThreadLanguageName() override { return ctx_.config.language_name; }
  bool GetVersion(OsVersion* version) override;
  std::string OemToAnsi(const std::string& oem) override;
  bool IsLeadByte(char byte) override;
  std::string UpperCase(const std::string& text) override;

 private:
  SimContext& ctx_;
};

}  // namespace qr5::platform::sim
