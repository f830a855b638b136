#include "uninstall/remove_records.h"

#include "platform/platform.h"

namespace qr5::uninstall {

void RemoveRegistryRecords() {
  platform::Registry& registry = *platform::Sys().registry;
  registry.DeleteKey(platform::HKEY_CURRENT_USER, "Quorlin5");
  registry.DeleteKey(platform::HKEY_LOCAL_MACHINE,
                     "SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5");
}

}  // namespace qr5::uninstall
