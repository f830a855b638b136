// OnIdleApplication: the wizard driver. It runs once, on the first idle
// moment of the message loop, and sequences the pages and install actions.
#include <exception>
#include <functional>

#include "app/main_form.h"
#include "app/wizard_states.h"
#include "forms/application.h"
#include "install/install_outcome.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step5.h"
#include "pages/form_step6.h"
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

}  // namespace

void TMainForm::OnIdleApplication() {
  // Never again: the pages' modal loops raise idle events of their own.
  App().on_idle = nullptr;

  // Every step runs guarded: an exception is shown and the wizard goes on,
  // so that the main form is always closed at the end and the program ends
  // instead of staying alive without a window.
  Application& app = App();
  WizardState state = WizardState::kLanguage;
  while (state != WizardState::kEnd) {
    int result = mrNone;
    switch (state) {
      case WizardState::kLanguage:
        app.Guard([this] { DoExtractLanguageFiles(); });
        result = pages::FormStep1->ShowModal();
        // Also after Cancel: the path is then empty and every text takes
        // its default.
        app.Guard([this] { LoadResourceLanguage(Session().LanguageFilePath); });
        break;
      case WizardState::kWelcome:
        result = pages::FormStep2->ShowModal();
        break;
      case WizardState::kLicense:
        result = pages::FormStep3->ShowModal();
        break;
      case WizardState::kDestination:
        result = pages::FormStep4->ShowModal();
        break;
      case WizardState::kInstalling: {
        bool may_install = false;
        app.Guard([this, &may_install] { may_install = CheckMachineRights(); });
        if (!may_install) {
          result = mrCancel;  // told; nothing installed
          break;
        }
        pages::FormStep5->Show();
        // Each action runs to its end; a failing one does not stop the next.
        // What did not work is told once, after the last one; the setup then
        // ends without the finish page, and so without its shortcuts.
        Session().Shortfall = InstallShortfall();
        RunInstallAction([this] { DoInstall(); });
        RunInstallAction([this] { DoInstallKAVO5DLL(); });
        RunInstallAction([this] { DoInstallBDE(); });
        RunInstallAction([this] {
          const SessionState& session = Session();
          CreateProgramGroup(session.LanguageExt, session.LanguageName);
        });
        app.Guard([] { pages::FormStep5->Close(); });
        app.Guard([&result] {
          if (install::ReportShortfall()) result = mrCancel;
        });
        break;
      }
      case WizardState::kFinish:
        result = pages::FormStep6->ShowModal();
        break;
      case WizardState::kEnd:
        break;
    }
    state = NextWizardState(state, result);
  }
  Close();
}

}  // namespace qr5::app
