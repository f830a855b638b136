// The captions the install actions need, read once from the chosen
// language file after the language page.
#pragma once

#include <map>
#include <string>

namespace qr5::lang {

// Every suite text ("001" to "019") of section [Setup] of language_file, its
// built-in default where the file lacks it. An empty path (the page was
// cancelled) names no file, so every text takes its default.
std::map<std::string, std::string> LoadSuiteTexts(const std::string& language_file);

// The built-in text of a suite text's key; "" for a key that is none.
std::string DefaultSuiteText(const std::string& key);

}  // namespace qr5::lang
