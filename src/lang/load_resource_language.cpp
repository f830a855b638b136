#include "app/main_form.h"
#include "app/session_state.h"
#include "lang/ini_file.h"
#include "lang/setup_keys.h"

namespace qr5::app {

// The captions the install actions need, read once after the language page.
// An empty path (the page was cancelled) names no file, so every text takes
// its default.
void TMainForm::LoadResourceLanguage(const std::string& path) {
  const lang::TIniFile ini(path);
  std::map<std::string, std::string>& texts = Session().SuiteTexts;
  for (const lang::SetupText& text : lang::kSuiteTexts) {
    texts[text.key] = ini.ReadString(lang::kSetupSection, text.key, text.default_text);
  }
}

}  // namespace qr5::app
