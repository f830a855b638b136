// The wizard's pages as states and the table of moves between them. The
// driver alone decides what comes next; pages only return their result.
#pragma once

namespace qr5::app {

enum class WizardState {
  kLanguage,     // TFormStep1, modal
  kWelcome,      // TFormStep2, modal
  kLicense,      // TFormStep3, modal
  kDestination,  // TFormStep4, modal
  kInstalling,   // TFormStep5 shown without waiting while the actions run
  kFinish,       // TFormStep6, modal; its result is not examined
  kEnd,          // the main form is closed
};

// The state after state returned result (mrOk, mrCancel, mrBack or any
// other value; the installing step gives mrCancel when the installation is
// incomplete, which skips the finish page).
WizardState NextWizardState(WizardState state, int result);

}  // namespace qr5::app
