// The uninstaller's hidden main form; on the first idle moment it runs the
// whole uninstallation: find the record, hand over to the copy in the
// temporary folder, welcome, confirmation, removal, finish.
#pragma once

#include "forms/form.h"
#include "uninstall/uninstall_pages.h"

namespace qr5::uninstall {

class TUninstallMainForm : public forms::Form {
 public:
  TUninstallMainForm();
  ~TUninstallMainForm() override;

  void OnIdleApplication();

  TFormUninstallWelcome welcome;
  TFormUninstallConfirm confirm;
  TFormUninstallProgress progress;
  TFormUninstallFinish finish;

  // The exit code of the copy this program handed the work to; -1 when it
  // did the work itself (or there was none).
  int handed_over_exit_code = -1;

 private:
  void Uninstall();
  // The log of /LOG, once, in the process that does the work.
  void StartLog();
  bool log_started_ = false;
};

}  // namespace qr5::uninstall
