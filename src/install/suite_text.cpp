#include "install/suite_text.h"

#include "session/session_state.h"
#include "lang/suite_texts.h"

namespace qr5::install {

std::string SuiteText(const std::string& key) {
  const auto& texts = session::Session().SuiteTexts;
  if (const auto it = texts.find(key); it != texts.end()) return it->second;
  return lang::DefaultSuiteText(key);
}

}  // namespace qr5::install
