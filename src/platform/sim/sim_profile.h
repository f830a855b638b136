// GetPrivateProfileStringA / WritePrivateProfileStringA on the simulated
// machine. A file name without a folder means the Windows folder, as on
// Windows.
#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_files.h"

namespace qr5::platform::sim {

class SimProfile : public Profile {
 public:
  explicit SimProfile(SimFileSystem& files) : files_(files) {}

  std::string GetString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& default_value) override;
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override;

 private:
  SimFileSystem& files_;
};

}  // namespace qr5::platform::sim
