#include "lang/installed_language_name.h"

#include "platform/platform.h"

namespace qr5::lang {

std::string GetInstalledLanguageName() {
  std::string name = platform::Sys().system->ThreadLanguageName();
  if (name.empty()) return kUnknownLanguageName;
  return name;
}

}  // namespace qr5::lang
