// The setup's captions of the suite programs and manuals, as loaded from the
// chosen language file.
#pragma once

#include <string>

namespace qr5::install {

// The suite text of key as loaded from the chosen language file, or its
// built-in default when none was loaded.
std::string SuiteText(const std::string& key);

}  // namespace qr5::install
