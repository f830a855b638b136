#include "pages/product_folder.h"

#include "platform/platform.h"

namespace qr5::pages {

size_t LastPosNoCase(const std::string& part, const std::string& text) {
  if (part.empty() || part.size() > text.size()) return 0;
  platform::SystemInfo& system = *platform::Sys().system;
  const std::string upper_part = system.UpperCase(part);
  const std::string upper_text = system.UpperCase(text);
  // A match counts only where a character begins: the trail byte of a
  // double-byte character may look like a backslash.
  size_t found = 0;
  for (size_t at = 0; at + part.size() <= text.size(); at += system.IsLeadByte(text[at]) ? 2 : 1) {
    if (upper_text.compare(at, upper_part.size(), upper_part) == 0) found = at + 1;
  }
  return found;
}

}  // namespace qr5::pages
