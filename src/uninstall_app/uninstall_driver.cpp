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
#include "session/run_log.h"
#include "session/session_state.h"
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
  session::SessionState& session = session::Session();
  const session::CommandLine& command = session.Command;
  const std::optional<Installation> installation = FindInstallation(StartedFrom());
  if (!installation) {
    StartLog();
    Texts().LoadDefaults();
    session.Outcome.could_not_start = true;
    App().MessageBox(kNotInstalledText, Texts()[UninstallText::kCaption], platform::MB_OK | platform::MB_ICONINFORMATION);
    return;
  }
  const std::string& dir = installation->dir;
  // The copy does the work and this program returns its exit code; should
  // it fail to start, this program does the work, and its own file stays,
  // with the records, for another run.
  if (!RunsFromTempFolder()) {
    int code = session::kExitDone;
    if (HandOverToTempCopy(dir, OwnSwitches(), &code)) {
      handed_over_exit_code = code;
      return;
    }
  }
  StartLog();

  // Read before the removal takes the language file away.
  Texts().Load(installation->language_file);
  const std::vector<std::string> desktop = CaptionsOf(installation->language_file, lang::kDesktopCaptionKey);
  const std::vector<std::string> startup = CaptionsOf(installation->language_file, lang::kStartupCaptionKey);

  confirm.folder = dir;
  if (!command.Silent()) {
    if (welcome.ShowModal() != mrOk) return;
    if (confirm.ShowModal() != mrYes) return;
  }

  session.Outcome.work_started = true;
  const bool shown = command.quietness != session::Quietness::kVerySilent;
  if (shown) progress.Show();
  RemovalResult result;
  const auto step = [&result](const std::string& what, const std::function<void()>& work) {
    session::Log().Line(what);
    Step(result, work);
  };
  SuiteFileRemoval files(dir, platform::Sys().files->GetModuleFileName(), result);
  progress.ShowStep(UninstallText::kRemovingFiles, 0);
  step("Removing the files of " + dir, [&] {
    files.RemoveFiles([this](int percent, const std::string& path) {
      progress.ShowProgress(percent, path);
      App().ProcessMessages();
    });
  });
  progress.ShowStep(UninstallText::kRemovingGroup, 100);
  App().ProcessMessages();
  step("Removing the program group and shortcuts", [&] {
    RemoveProgramGroup(dir, result);
    RemoveShortcuts(install::sfDesktop, desktop, dir, result);
    RemoveShortcuts(install::sfStartUp, startup, dir, result);
  });
  // A first process that waits for this copy holds the installed
  // uninstaller's file: it is released now, with the exit code as the
  // removal stands, so that the file can go. False when none waits (this
  // one was started by hand, or the host ran it in the first one's place).
  session.Outcome.incomplete = result.left > 0;
  platform::Sys().processes->ReleaseWaitingParent(session::ExitCodeOf(session.Outcome));
  // The uninstaller and the records go only when nothing else of ours
  // stays: else they stay, and the uninstaller can be run again. The
  // folders emptied go in either case.
  progress.ShowStep(UninstallText::kRemovingRecords, 100);
  App().ProcessMessages();
  if (result.left == 0) step("Removing the uninstaller", [&] { files.RemoveUninstaller(); });
  step("Removing the folders", [&] { files.RemoveFolders(); });
  if (result.left == 0) step("Removing the registry entries", [&] { RemoveRecords(dir, result); });
  if (result.left > 0) step("Putting the uninstaller back", [&] { files.RestoreUninstaller(); });
  session.Outcome.incomplete = result.left > 0;
  session::Log().Line(std::to_string(result.removed) + " removed, " + std::to_string(result.left) + " left");
  if (shown) progress.Hide();

  if (command.Silent()) return;
  finish.something_left = result.left > 0;
  finish.ShowModal();
}

void TUninstallMainForm::StartLog() {
  const session::CommandLine& command = session::Session().Command;
  if (!command.log || log_started_) return;
  log_started_ = true;
  session::StartLog(command.log_file, "Uninstall Log", platform::Sys().processes->GetCommandLine());
}

}  // namespace qr5::uninstall
