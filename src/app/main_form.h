// TMainForm: the hidden main form. It holds the archive component and the
// install actions; its idle handler is the wizard driver. Its methods:
//   app/main_form.cpp          FormCreate, construction
//   app/wizard_driver.cpp      OnIdleApplication
//   app/main_form_actions.cpp  the language and install steps, each handing
//                              the session's archive, folders and language to
//                              lang/ or install/
//   app/progress_handlers.cpp  the archive's progress events on the progress page
#pragma once

#include <memory>
#include <string>

#include "forms/form.h"

namespace qr5::archive {
class TZipArchive;
}

namespace qr5::app {

class TMainForm : public forms::Form {
 public:
  TMainForm();
  ~TMainForm() override;

  // The archive component, created with OverwriteMode Always and the two
  // progress events assigned.
  std::unique_ptr<archive::TZipArchive> ZipArchive1;

  // Start-up: fills the start-up fields of the session state and hooks the
  // application's idle event. Run by the constructor, as a form's creation
  // handler is.
  void FormCreate();
  // The wizard driver, run once on the first idle moment.
  void OnIdleApplication();

  // The steps the driver runs are virtual so that a test can stand in for
  // them and watch the driver alone.

  // Language resources.
  virtual void DoExtractLanguageFiles();
  virtual void LoadResourceLanguage(const std::string& path);

  // Before anything is installed: false, with the user told, when this user
  // may not install for the whole machine.
  virtual bool CheckMachineRights();

  // Install actions, in the order the driver runs them.
  virtual void DoInstall();
  virtual void DoInstallKAVO5DLL();
  virtual void DoInstallBDE();
  virtual void CreateProgramGroup(const std::string& ext, const std::string& name);

  // Progress events of ZipArchive1.
  void ZipArchive1TotalPercentDone(int percent);
  void ZipArchive1StartUnZip(int file_index, std::string& file_name, bool& skip);
};

extern TMainForm* MainForm;

}  // namespace qr5::app
