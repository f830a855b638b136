// The wildcard rules of FindFirstFileA. The mask is first turned into the
// DOS forms the way kernel32 does ("*.*" is "*"; "?" may match nothing at a
// dot or the end; "." before a wildcard may match the end of the name; "*"
// before "." stops at the last dot), then matched without regard to case.
// So "LANGUAGE.*" matches LANGUAGE.ENG and LANGUAGE but not OLDLANGUAGE.ENG,
// and "*." matches names without an extension.
#pragma once

#include <string>

namespace qr5::platform::sim {

bool HasWildcards(const std::string& mask);
bool WildcardMatch(const std::string& mask, const std::string& name);

}  // namespace qr5::platform::sim
