// The language the system runs in, as the full English name of the thread
// locale's language (for example "Italian (Standard)").
#pragma once

#include <string>

namespace qr5::lang {

// Stands for a locale the system cannot name; it contains none of the
// words the language page looks for, so it maps to English.
inline constexpr const char* kUnknownLanguageName = "Unknown locale";

std::string GetInstalledLanguageName();

}  // namespace qr5::lang
