#include "app/main_form.h"

#include "app/temp_directory.h"
#include "archive/zip_archive.h"
#include "forms/application.h"
#include "install/setup_leftovers.h"
#include "platform/platform.h"
#include "platform/private_temp_folder.h"
#include "session/run_log.h"
#include "session/session_state.h"

namespace qr5::app {

using namespace forms;  // the toolkit the setup's forms stand on

TMainForm* MainForm = nullptr;

TMainForm::TMainForm() : Form("TMainForm") {
  caption = "QR5 Installer - Rel 1.7 - 21/02/2005";
  border = BorderStyle::kDialog;
  centred = true;

  ZipArchive1 = std::make_unique<archive::TZipArchive>();
  archive::TZipArchive& zip = *ZipArchive1;
  zip.OverwriteMode = archive::TOverwriteMode::Always;
  zip.OnStartUnZip = [this](int file_index, std::string& file_name, bool& skip) {
    ZipArchive1StartUnZip(file_index, file_name, skip);
  };
  zip.OnTotalPercentDone = [this](int percent) { ZipArchive1TotalPercentDone(percent); };
  // The component keeps the pages painted and asks its questions through the
  // application, like any other part of the program.
  zip.ProcessMessagesHook = [] { App().ProcessMessages(); };
  zip.MessageBoxHook = [](const std::string& text, const std::string& caption, unsigned flags) {
    return App().MessageBox(text, caption, flags);
  };

  FormCreate();
}

TMainForm::~TMainForm() {
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormCreate() {
  session::SessionState& session = session::Session();
  const std::string exe = platform::Sys().files->GetModuleFileName();
  session.SetupDir = exe.substr(0, exe.find_last_of('\\') + 1);
  // A folder of this run's own; where none can be made, the system's
  // temporary folder itself, shared as it is.
  const std::string system_temp = GetWindowsTempDirectory();
  // What killed runs left goes first; a folder that stays harms nothing but
  // room, and is tried again by the next run.
  if (!install::RemoveEndedRunFolders(system_temp)) {
    session::Log().Line("Could not delete a temporary folder an earlier run left in " + system_temp);
  }
  session.TempDir = platform::MakePrivateTempFolder(system_temp, install::kPrivateTempPrefix);
  if (session.TempDir.empty()) session.TempDir = system_temp;
  session.ProductFolder = "\\QR5";
  session.InstallDir = "C:\\QR5";
  App().on_idle = [this] { OnIdleApplication(); };
}

}  // namespace qr5::app
