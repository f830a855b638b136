// OnIdleApplication: the wizard driver. It runs once, on the first idle
// moment of the message loop, and sequences the pages and install actions.
#include <exception>
#include <functional>

#include "app/main_form.h"
#include "app/unattended_steps.h"
#include "app/wizard_states.h"
#include "forms/application.h"
#include "install/install_outcome.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step5.h"
#include "pages/form_step6.h"
#include "session/run_log.h"
#include "session/session_state.h"

namespace qr5::app {

using namespace forms;  // the toolkit the setup's forms stand on
using session::InstallShortfall;
using session::Session;
using session::SessionState;

namespace {

// An install action whose error escapes it: what it could not do joins what
// the user is told at the end.
void RunInstallAction(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    install::NoteFailure(e.what());
  } catch (...) {
    install::NoteFailure("?");
  }
}

// A step's line in the log, before it runs.
void Logged(const std::string& what, const std::function<void()>& step) {
  session::Log().Line(what);
  step();
}

}  // namespace

void TMainForm::OnIdleApplication() {
  // Never again: the pages' modal loops raise idle events of their own.
  App().on_idle = nullptr;

  // Every step runs guarded: an exception is shown and the wizard goes on,
  // so that the main form is always closed at the end and the program ends
  // instead of staying alive without a window.
  Application& app = App();
  const session::CommandLine& command = Session().Command;
  // A silent run decides each page's question from the command line.
  const bool silent = command.Silent();
  WizardState state = WizardState::kLanguage;
  while (state != WizardState::kEnd) {
    int result = mrNone;
    switch (state) {
      case WizardState::kLanguage:
        app.Guard([this] { DoExtractLanguageFiles(); });
        if (silent || command.lang_given) {
          app.Guard([&result] { result = ChooseLanguageWithoutPage(); });
          if (result == mrNone) result = mrCancel;
        } else {
          result = pages::FormStep1->ShowModal();
        }
        // Also after Cancel: the path is then empty and every text takes
        // its default.
        app.Guard([this] { LoadResourceLanguage(Session().LanguageFilePath); });
        break;
      case WizardState::kWelcome:
        result = silent ? mrOk : pages::FormStep2->ShowModal();
        break;
      case WizardState::kLicense:
        result = silent ? mrOk : pages::FormStep3->ShowModal();
        break;
      case WizardState::kDestination:
        if (silent) {
          result = mrCancel;
          app.Guard([&result] { result = TakeFolderWithoutPage() ? mrOk : mrCancel; });
        } else {
          result = pages::FormStep4->ShowModal();
        }
        break;
      case WizardState::kInstalling: {
        bool may_install = false;
        app.Guard([this, &may_install] { may_install = CheckMachineRights(); });
        if (!may_install) {
          Session().Outcome.fatal_before = true;
          result = mrCancel;  // told; nothing installed
          break;
        }
        if (command.quietness != session::Quietness::kVerySilent) pages::FormStep5->Show();
        // Each action runs to its end; a failing one does not stop the next.
        // What did not work is told once, after the last one; the setup then
        // ends without the finish page, and so without its shortcuts.
        Session().Shortfall = InstallShortfall();
        Session().Outcome.work_started = true;
        RunInstallAction([this] { Logged("Installing the suite into " + Session().InstallDir, [this] { DoInstall(); }); });
        RunInstallAction([this] { Logged("Copying the helper library", [this] { DoInstallKAVO5DLL(); }); });
        RunInstallAction([this] { Logged("Installing the database engine", [this] { DoInstallBDE(); }); });
        RunInstallAction([this] {
          const SessionState& session = Session();
          Logged("Making the program group", [&] { CreateProgramGroup(session.LanguageExt, session.LanguageName); });
        });
        // A request to end that reached the installation while it ran.
        Session().Outcome.cancelled_during = app.Terminated();
        if (command.quietness != session::Quietness::kVerySilent) app.Guard([] { pages::FormStep5->Close(); });
        app.Guard([&result] {
          if (install::ReportShortfall()) {
            Session().Outcome.incomplete = true;
            result = mrCancel;
          }
        });
        break;
      }
      case WizardState::kFinish:
        if (silent) {
          app.Guard([] { MakeShortcutsWithoutPage(); });
        } else {
          result = pages::FormStep6->ShowModal();
        }
        break;
      case WizardState::kEnd:
        break;
    }
    state = NextWizardState(state, result);
  }
  Close();
}

}  // namespace qr5::app
