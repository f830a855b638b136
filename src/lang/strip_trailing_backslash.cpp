#include "lang/strip_trailing_backslash.h"

namespace qr5::lang {

std::string StripTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

}  // namespace qr5::lang
