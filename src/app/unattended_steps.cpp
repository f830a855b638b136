#include "app/unattended_steps.h"

#include <string>

#include "forms/application.h"
#include "lang/language_codes.h"
#include "pages/form_step1.h"
#include "pages/form_step4.h"
#include "pages/form_step6.h"
#include "pages/page_frame.h"
#include "pages/path_validation.h"
#include "platform/platform.h"
#include "session/run_log.h"
#include "session/session_state.h"

namespace qr5::app {

namespace {

using session::Session;

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// ".ITA" for "ITA", ".ita" or "Italian"; "" for anything else.
std::string ExtensionOf(const std::string& wanted) {
  static const char* const kEnglishNames[] = {"ENGLISH", "ITALIAN", "SPANISH", "FINNISH", "SWEDISH", "FRENCH"};
  static const char* const kExtensions[] = {".ENG", ".ITA", ".SPA", ".FIN", ".SWE", ".FRA"};
  std::string upper = Upper(wanted);
  if (!upper.empty() && upper[0] == '.') upper.erase(0, 1);
  for (size_t i = 0; i < 6; ++i) {
    if (upper == kExtensions[i] + 1 || upper == kEnglishNames[i]) return kExtensions[i];
  }
  return "";
}

std::string TextOr(const lang::TIniFile& file, lang::InstallerKey key, const char* fallback) {
  const std::string text = pages::InstallerText(file, key);
  return text.empty() ? fallback : text;
}

void TellFatal(const std::string& message, const std::string& caption) {
  session::Log().Line("Failure: " + message);
  Session().Outcome.fatal_before = true;
  forms::App().MessageBox(message, caption, platform::MB_OK | platform::MB_ICONERROR);
}

}  // namespace

int ChooseLanguageWithoutPage() {
  if (forms::App().Terminated()) return forms::mrCancel;  // the language files could not be extracted
  pages::TFormStep1& page = *pages::FormStep1;
  page.LoadLanguageList();  // the page's preselection, without its window
  const session::CommandLine& command = Session().Command;
  if (command.lang_given) {
    const std::string ext = ExtensionOf(command.lang);
    int found = -1;
    for (size_t i = 0; i < page.LangCombo.items.size() && !ext.empty(); ++i) {
      if (lang::LangQR5ConvertToExtension(page.LangCombo.items[i]) == ext) found = static_cast<int>(i);
    }
    if (found < 0) {
      TellFatal("Unknown language for /LANG: " + command.lang, forms::App().title);
      return forms::mrCancel;
    }
    page.LangCombo.item_index = found;
  }
  page.OKButtonClick();
  session::Log().Line("Language: " + Session().LanguageName + " (" + Session().LanguageExt + ")");
  return forms::mrOk;
}

bool TakeFolderWithoutPage() {
  session::SessionState& session = Session();
  const session::CommandLine& command = session.Command;
  const lang::TIniFile file = pages::ChosenLanguageFile();
  const std::string caption = pages::InstallerText(file, pages::key::kErrorCaption);
  std::string folder = command.dir_given                       ? command.dir
                       : !session.PreviousInstallPath.empty() ? session.PreviousInstallPath
                                                               : std::string("C:\\QR5");
  const std::string given = folder;
  if (!pages::IsValidDirectory(folder)) {
    TellFatal(TextOr(file, pages::key::kBrowseInvalidPath, "The selected path is not valid.") + " " + given,
              caption);
    return false;
  }
  const int megabytes = file.ReadInteger(lang::kInstallerSection, pages::key::kDestinationMegabytes.Name(), 0);
  const int64_t free_bytes = pages::DriveFreeSpace(folder);
  if (free_bytes != -1 && free_bytes < static_cast<int64_t>(megabytes) * pages::kSpaceUnitBytes) {
    TellFatal(TextOr(file, pages::key::kDestinationSpaceNeeded, "Not enough free disk space.") + " " + folder,
              caption);
    return false;
  }
  session.InstallDir = folder;
  session::Log().Line("Install folder: " + folder);
  return true;
}

void MakeShortcutsWithoutPage() {
  pages::TFormStep6& page = *pages::FormStep6;
  page.FormShow();  // the boxes as the page would start them
  page.FinishButtonClick();
  session::Log().Line(Session().Command.no_icons ? "No desktop icon, no Startup entry (/NOICONS)"
                                                 : "Desktop icon and Startup entry made");
}

}  // namespace qr5::app
