// Locating the product folder ("\QR5") in an install path: the suite always
// goes into a folder of that name below the folder the user chooses.
#pragma once

#include <cstddef>
#include <string>

namespace qr5::pages {

// The position (from 1) of the last occurrence of part in text, comparing
// without regard to letter case as the machine's code page has it; 0 when
// it does not occur or part is empty.
size_t LastPosNoCase(const std::string& part, const std::string& text);

}  // namespace qr5::pages
