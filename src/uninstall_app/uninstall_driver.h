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

 private:
  void Uninstall();
};

}  // namespace qr5::uninstall
