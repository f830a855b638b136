// Reading a shortcut back: the target path a .lnk file records in its
// LinkInfo block (local base path and common path suffix), as
// IShellLinkA::GetPath reports it.
#pragma once

#include <optional>
#include <string>

namespace qr5::platform::sim {

// nullopt when the bytes are no shell link or hold no target path.
std::optional<std::string> LinkTargetOf(const std::string& link_bytes);

}  // namespace qr5::platform::sim
