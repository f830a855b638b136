#include "lang/strip_trailing_backslash.h"

#include "platform/platform.h"

namespace qr5::lang {

std::string StripTrailingBackslash(const std::string& path) {
  // Walked by characters: on a double-byte code page the last byte may be
  // the trail byte 0x5C of a character such as U+8868 (0x95 0x5C on 932).
  platform::SystemInfo& system = *platform::Sys().system;
  size_t last = 0;
  for (size_t at = 0; at < path.size(); at += system.IsLeadByte(path[at]) ? 2 : 1) last = at;
  if (!path.empty() && last == path.size() - 1 && path[last] == '\\') return path.substr(0, last);
  return path;
}

}  // namespace qr5::lang
