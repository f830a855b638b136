#include "install/suite_text.h"

#include "app/session_state.h"
#include "lang/setup_keys.h"

namespace qr5::install {

std::string SuiteText(const std::string& key) {
  const auto& texts = app::Session().SuiteTexts;
  if (const auto it = texts.find(key); it != texts.end()) return it->second;
  for (const auto& text : lang::kSuiteTexts) {
    if (key == text.key) return text.default_text;
  }
  return "";
}

}  // namespace qr5::install
