// 8.3 aliases of long names. The alias is derived from the long name alone
// (its first letters, a hash, its extension), as Wine does, so it never
// changes while other entries of the folder come and go, and a path built
// from aliases always resolves back to the same entries.
#pragma once

#include <string>

namespace qr5::platform::sim {

// True when the name is already a valid 8.3 name (letter case aside), so
// the system keeps no separate alias for it.
bool IsLegalShortName(const std::string& name);

// The alias of a long name, e.g. "Program Files" -> "PROG~K3Q". Only
// meaningful for names that are not legal 8.3 names.
std::string MakeShortName(const std::string& long_name);

}  // namespace qr5::platform::sim
