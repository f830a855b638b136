#include "app/wizard_states.h"

#include "forms/form.h"

namespace qr5::app {

using namespace forms;  // the toolkit the setup's forms stand on

WizardState NextWizardState(WizardState state, int result) {
  switch (state) {
    case WizardState::kLanguage:
      return result == mrCancel ? WizardState::kEnd : WizardState::kWelcome;
    case WizardState::kWelcome:  // no Back from here
      return result == mrCancel ? WizardState::kEnd : WizardState::kLicense;
    case WizardState::kLicense:
      if (result == mrCancel) return WizardState::kEnd;
      if (result == mrBack) return WizardState::kWelcome;
      return WizardState::kDestination;
    case WizardState::kDestination:
      if (result == mrCancel) return WizardState::kEnd;
      if (result == mrBack) return WizardState::kLicense;
      return WizardState::kInstalling;
    case WizardState::kInstalling:  // no way back once installing started
      // Cancel: the installation is incomplete and the user was told.
      return result == mrCancel ? WizardState::kEnd : WizardState::kFinish;
    case WizardState::kFinish:
    case WizardState::kEnd:
      return WizardState::kEnd;
  }
  return WizardState::kEnd;
}

}  // namespace qr5::app
