// The form in which a program INI of the suite is compared: the setup sets
// its [Setup] "LanguageFile", and the system's profile functions may rewrite
// the file around it (Wine drops blank lines), so only the lines that carry
// something count.
#pragma once

#include <string>

namespace qr5::lang {

// Whether text has a [Setup] section (section names compare without case).
bool HasSetupSection(const std::string& text);

// The non-blank lines of text, trimmed and without their line ends, each
// ended by "\n" (a key line as "name=value" without blanks around "="),
// without the [Setup] section's LanguageFile line.
std::string IniNormalForm(const std::string& text);

}  // namespace qr5::lang
