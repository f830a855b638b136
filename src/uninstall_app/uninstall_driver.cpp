#include "uninstall_app/uninstall_driver.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "forms/application.h"
#include "install/shell_folders.h"
#include "lang/ini_file.h"
#include "lang/setup_keys.h"
#include "lang/suite_texts.h"
#include "platform/platform.h"
#include "uninstall/installation_record.h"
#include "uninstall/remove_files.h"
#include "uninstall/remove_records.h"
#include "uninstall/remove_shortcuts.h"
#include "uninstall/temp_copy.h"
#include "uninstall/uninstall_texts.h"

namespace qr5::uninstall {

using namespace forms;

namespace {

// The captions the finish page of the setup may have given a shortcut: the
// installed language's text and the built-in one.
std::vector<std::string> CaptionsOf(const std::string& language_file, const std::string& key) {
  const std::string fallback = lang::DefaultSuiteText(key);
  const std::string text = lang::TIniFile(language_file).ReadString(lang::kSetupSection, key, fallback);
  std::vector<std::string> captions{text};
  if (text != fallback) captions.push_back(fallback);
  return captions;
}

// One step of the removal; what it throws is shown, counted as something
// left (so the records stay), and the next step runs.
void Step(RemovalResult& result, const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    ++result.left;
    App().HandleException(e);
  }
}

}  // namespace

TUninstallMainForm::TUninstallMainForm() : Form("TUninstallMainForm") {
  caption = "Quorlin 5 Uninstaller";
  border = BorderStyle::kDialog;
  App().on_idle = [this] { OnIdleApplication(); };
}

TUninstallMainForm::~TUninstallMainForm() = default;

void TUninstallMainForm::OnIdleApplication() {
  App().on_idle = nullptr;
  Uninstall();
  Close();
}

void TUninstallMainForm::Uninstall() {
  const std::optional<Installation> installation = FindInstallation(StartedFrom());
  if (!installation) {
    Texts().LoadDefaults();
    App().MessageBox(kNotInstalledText, Texts()[UninstallText::kCaption], platform::MB_OK | platform::MB_ICONINFORMATION);
    return;
  }
  const std::string& dir = installation->dir;
  // The copy does the work; should it fail to start, this program does,
  // and its own file stays, with the records, for another run.
  if (!RunsFromTempFolder() && HandOverToTempCopy(dir)) return;

  // Read before the removal takes the language file away.
  Texts().Load(installation->language_file);
  const std::vector<std::string> desktop = CaptionsOf(installation->language_file, lang::kDesktopCaptionKey);
  const std::vector<std::string> startup = CaptionsOf(installation->language_file, lang::kStartupCaptionKey);

  if (welcome.ShowModal() != mrOk) return;
  confirm.folder = dir;
  if (confirm.ShowModal() != mrYes) return;

  progress.Show();
  RemovalResult result;
  SuiteFileRemoval files(dir, platform::Sys().files->GetModuleFileName(), result);
  progress.ShowStep(UninstallText::kRemovingFiles, 0);
  Step(result, [&] {
    files.RemoveFiles([this](int percent, const std::string& path) {
      progress.ShowProgress(percent, path);
      App().ProcessMessages();
    });
  });
  progress.ShowStep(UninstallText::kRemovingGroup, 100);
  App().ProcessMessages();
  Step(result, [&] {
    RemoveProgramGroup(dir, result);
    RemoveShortcuts(install::sfDesktop, desktop, dir, result);
    RemoveShortcuts(install::sfStartUp, startup, dir, result);
  });
  // The uninstaller and the records go only when nothing else of ours
  // stays: else they stay, and the uninstaller can be run again. The
  // folders emptied go in either case.
  progress.ShowStep(UninstallText::kRemovingRecords, 100);
  App().ProcessMessages();
  if (result.left == 0) Step(result, [&] { files.RemoveUninstaller(); });
  Step(result, [&] { files.RemoveFolders(); });
  if (result.left == 0) Step(result, [&] { RemoveRecords(dir, result); });
  if (result.left > 0) Step(result, [&] { files.RestoreUninstaller(); });
  progress.Hide();

  finish.something_left = result.left > 0;
  finish.ShowModal();
}

}  // namespace qr5::uninstall
