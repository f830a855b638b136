// Removing what the setup recorded of an installation: the per-user record
// and the uninstall entry, each only when it names this installation's
// folder (a later installation elsewhere keeps its own). Both go or both
// stay, so that the uninstaller can always be started again.
#pragma once

#include <string>

#include "uninstall/removal_result.h"

namespace qr5::uninstall {

// Deletes the records that name dir; when the second cannot go, the first
// is written back and the failure counted in result.left.
void RemoveRecords(const std::string& dir, RemovalResult& result);

}  // namespace qr5::uninstall
