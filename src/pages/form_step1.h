// TFormStep1: the language page. Lists every language file in the
// temporary folder, preselects the language of the previous installation or
// else the system's, and on OK records the choice in the session.
#pragma once

#include <string>

#include "forms/form.h"

namespace qr5::pages {

class TFormStep1 : public forms::Form {
 public:
  TFormStep1();

  forms::Control& LangCombo;
  forms::Control& LabelSelectLanguage;
  forms::Control& OKButton;
  forms::Control& CancelButton;
  forms::Control& Image1;

  void FormShow() override;
  // Rebuilds the list and its preselection from the files in TempDir.
  void LoadLanguageList();
  void OKButtonClick();
  void CancelButtonClick();

 private:
  // The page's four texts from the [Setup] section of one language file.
  void LoadPageTexts(const std::string& language_file);
};

// Created once at start-up, kept until the process ends.
extern TFormStep1* FormStep1;

}  // namespace qr5::pages
