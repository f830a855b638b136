// Removing the setup's registry records: the per-user record and the
// uninstall entry. The database engine's settings stay: other programs
// share the engine.
#pragma once

namespace qr5::uninstall {

// HKEY_CURRENT_USER\Quorlin5 and the "Quorlin 5" uninstall entry; what
// cannot be deleted (no rights) stays without a message.
void RemoveRegistryRecords();

}  // namespace qr5::uninstall
