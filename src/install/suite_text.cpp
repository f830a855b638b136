#include "install/suite_text.h"

#include "lang/suite_texts.h"
#include "session/session_state.h"

namespace qr5::install {

std::string SuiteText(const std::string& key) {
  const auto& texts = session::Session().SuiteTexts;
  if (const auto it = texts.find(key); it != texts.end()) return it->second;
  return lang::DefaultSuiteText(key);
}

}  // namespace qr5::install
