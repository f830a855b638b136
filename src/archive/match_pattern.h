// MatchPattern: the selection patterns of extraction. "*" matches any run
// of characters (folder separators included), "?" one character, "<...>" one
// character of a set (ranges "a-z", inverted by a leading "!" or "^"); every
// other character matches itself. The whole path must match; ASCII letters
// compare without regard to case. A malformed set matches nothing.
#pragma once

#include <string>

namespace qr5::archive {

bool MatchPattern(const std::string& pattern, const std::string& path);

}  // namespace qr5::archive
