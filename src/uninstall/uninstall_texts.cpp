#include "uninstall/uninstall_texts.h"

#include <iterator>

#include "lang/ini_file.h"

namespace qr5::uninstall {

namespace {

struct DefaultText {
  const char* key;
  const char* english;
};

// In the order of UninstallText.
constexpr DefaultText kDefaults[] = {
    {"Caption", "Uninstall - Quorlin 5"},
    {"YesButton", "Yes"},
    {"NoButton", "No"},
    {"OkButton", "Ok"},
    {"CancelButton", "Cancel"},
    {"FinishButton", "&Finish"},
    {"NextButton", "&Next >"},
    {"ErrorCaption", "Error"},
    {"1_001", "Welcome to the Quorlin 5 Uninstall Wizard"},
    {"1_002", "This wizard will remove Quorlin 5 from your computer."},
    {"1_003", "Your logbooks and QSL data will not be deleted."},
    {"1_004", "Please close Quorlin 5 and its tools before continuing."},
    {"1_005", "Click Next to continue, or Cancel to exit."},
    {"1_006", "Are you sure you want to remove Quorlin 5 and all of its components?"},
    {"2_001", "Uninstalling"},
    {"2_002", "Please wait while Quorlin 5 is removed from your computer."},
    {"2_003", "Removing files..."},
    {"2_004", "Removing the program group..."},
    {"2_005", "Removing registry entries..."},
    {"3_001", "Quorlin 5 has been removed from your computer."},
    {"3_002", "Some files could not be removed. You may delete them yourself."},
    {"3_003", "Click Finish to exit."},
    // A key of its own beside the numbered ones: a language file without
    // it shows the English heading.
    {"FinishTitle", "Completing the Quorlin 5 Uninstall Wizard"},
};
static_assert(std::size(kDefaults) == static_cast<size_t>(UninstallText::kCount));

}  // namespace

void UninstallTexts::Load(const std::string& language_file) {
  const lang::TIniFile file(language_file);
  for (size_t i = 0; i < texts_.size(); ++i) {
    const DefaultText& text = kDefaults[i];
    // No path: no file to ask (the profile functions would look in the
    // Windows folder for a bare name).
    texts_[i] =
        language_file.empty() ? text.english : file.ReadString("UnInstaller", text.key, text.english);
  }
}

UninstallTexts& Texts() {
  static UninstallTexts texts;
  return texts;
}

}  // namespace qr5::uninstall
