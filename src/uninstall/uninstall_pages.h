// The uninstaller's pages, in the setup's frame: welcome (Next, Cancel),
// the Yes/No confirmation, progress, and finish. Each takes its texts from
// the uninstaller's texts when it is shown.
#pragma once

#include <string>

#include "forms/form.h"
#include "uninstall/uninstall_texts.h"

namespace qr5::uninstall {

class TFormUninstallWelcome : public forms::Form {
 public:
  TFormUninstallWelcome();
  void FormShow() override;
};

// Yes or No; closing it by its frame counts as No. Below the question it
// names the folder whose installation goes.
class TFormUninstallConfirm : public forms::Form {
 public:
  TFormUninstallConfirm();
  void FormShow() override;
  std::string folder;  // set before showing
};

// Shown without waiting while the removal runs; it cannot be closed.
class TFormUninstallProgress : public forms::Form {
 public:
  TFormUninstallProgress();
  void FormShow() override;
  void FormKeyDown(forms::Key key, forms::ShiftState shift, bool& swallow) override;
  // The step under way: kRemovingFiles, kRemovingGroup or kRemovingRecords.
  void ShowStep(UninstallText step, int percent);
  void ShowProgress(int percent, const std::string& path);
};

class TFormUninstallFinish : public forms::Form {
 public:
  TFormUninstallFinish();
  void FormShow() override;
  // Set before showing: some of the installation could not be removed.
  bool something_left = false;
};

}  // namespace qr5::uninstall
