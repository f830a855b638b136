#include "lang/suite_texts.h"

#include "lang/ini_file.h"
#include "lang/setup_keys.h"

namespace qr5::lang {

std::map<std::string, std::string> LoadSuiteTexts(const std::string& language_file) {
  const TIniFile ini(language_file);
  std::map<std::string, std::string> texts;
  for (const SetupText& text : kSuiteTexts) {
    texts[text.key] = ini.ReadString(kSetupSection, text.key, text.default_text);
  }
  return texts;
}

std::string DefaultSuiteText(const std::string& key) {
  for (const SetupText& text : kSuiteTexts) {
    if (key == text.key) return text.default_text;
  }
  return "";
}

}  // namespace qr5::lang
