#include "app/program_entry.h"

#include <exception>
#include <memory>
#include <stdexcept>

#include "app/instance_guard.h"
#include "app/main_form.h"
#include "app/temp_directory.h"
#include "forms/application.h"
#include "pages/dlg_browse_install_path.h"
#include "pages/dlg_error.h"
#include "pages/form_exit_setup.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step5.h"
#include "pages/form_step6.h"
#include "platform/file_deletion.h"
#include "platform/platform.h"
#include "platform/private_temp_folder.h"
#include "session/message_box_sink.h"
#include "session/run_log.h"
#include "session/switch_box.h"
#include "session/session_state.h"

namespace qr5::app {

using namespace forms;  // the toolkit the setup's forms stand on
using platform::DeleteFilesByMask;
using session::Session;

namespace {

// The forms of one run, created once in a fixed order and destroyed in the
// reverse order; the global pointers follow them.
class Forms {
 public:
  Forms() = default;
  // A failing constructor leaves the forms made so far to the destructor.
  void CreateAll() {
    main_ = Create(MainForm);  // runs FormCreate
    App().SetMainForm(main_.get());
    step1_ = Create(pages::FormStep1);
    step2_ = Create(pages::FormStep2);
    exit_setup_ = Create(pages::FormExitSetup);
    step3_ = Create(pages::FormStep3);
    step4_ = Create(pages::FormStep4);
    step5_ = Create(pages::FormStep5);
    step6_ = Create(pages::FormStep6);
    error_ = Create(pages::DlgError);
    browse_ = Create(pages::DlgBrowseInstallPath);
  }
  ~Forms() {
    Destroy(browse_, pages::DlgBrowseInstallPath);
    Destroy(error_, pages::DlgError);
    Destroy(step6_, pages::FormStep6);
    Destroy(step5_, pages::FormStep5);
    Destroy(step4_, pages::FormStep4);
    Destroy(step3_, pages::FormStep3);
    Destroy(exit_setup_, pages::FormExitSetup);
    Destroy(step2_, pages::FormStep2);
    Destroy(step1_, pages::FormStep1);
    App().SetMainForm(nullptr);
    Destroy(main_, MainForm);
  }
  Forms(const Forms&) = delete;
  Forms& operator=(const Forms&) = delete;

 private:
  template <typename T>
  static std::unique_ptr<T> Create(T*& global) {
    auto form = std::make_unique<T>();
    global = form.get();
    return form;
  }
  template <typename T>
  static void Destroy(std::unique_ptr<T>& form, T*& global) {
    if (global == form.get()) global = nullptr;
    form.reset();
  }

  std::unique_ptr<TMainForm> main_;
  std::unique_ptr<pages::TFormStep1> step1_;
  std::unique_ptr<pages::TFormStep2> step2_;
  std::unique_ptr<pages::TFormExitSetup> exit_setup_;
  std::unique_ptr<pages::TFormStep3> step3_;
  std::unique_ptr<pages::TFormStep4> step4_;
  std::unique_ptr<pages::TFormStep5> step5_;
  std::unique_ptr<pages::TFormStep6> step6_;
  std::unique_ptr<pages::TDlgError> error_;
  std::unique_ptr<pages::TDlgBrowseInstallPath> browse_;
};

// The extracted language and license files go on every path that leaves
// the message loop: with the run's private folder, or by their names from
// the shared temporary folder when no private one could be made. Without a
// known temporary folder nothing is deleted: the masks would otherwise apply
// to the current folder.
void DeleteExtractedFiles() {
  const std::string& temp = Session().TempDir;
  if (temp.empty()) return;
  if (temp != GetWindowsTempDirectory()) {
    platform::DeletePrivateTempFolder(temp);
    return;
  }
  DeleteFilesByMask(temp, "LANGUAGE.*");
  DeleteFilesByMask(temp, "LICENSE.*");
}

std::string WithoutExtension(const std::string& file_name) {
  const size_t dot = file_name.find_last_of('.');
  return dot == std::string::npos ? file_name : file_name.substr(0, dot);
}

}  // namespace

int RunProgram(FrontEnd& front_end) {
  platform::Machine& sys = platform::Sys();
  const std::string exe_name = ExecutableFileName(sys.files->GetModuleFileName());
  // Silently: no window, no message.
  if (IsAlreadyRunning(exe_name)) return session::kExitCouldNotStart;

  Application& app = App();
  app.title = WithoutExtension(exe_name);
  app.SetFrontEnd(&front_end);
  const std::string command_line = sys.processes->GetCommandLine();
  session::CommandLine& command = Session().Command;
  command = session::ParseCommandLine(command_line, session::Program::kSetup);
  session::InstallMessageBoxSink(command);
  if (command.log) session::StartLog(command.log_file, "Setup Log", command_line);
  int code = session::kExitDone;
  if (!command.error.empty() || command.help) {
    code = session::TellCommandLine(command, session::Program::kSetup);
  } else {
    const bool com = sys.com->Initialize();
    app.show_main_form = false;
    {
      Forms forms;
      if (app.Guard([&forms] { forms.CreateAll(); })) app.Run();
      DeleteExtractedFiles();
    }
    if (com) sys.com->Uninitialize();
    code = session::ExitCodeOf(Session().Outcome);
  }
  session::Log().Line("Exit code " + std::to_string(code));
  session::Log().Close();
  app.message_box_sink = nullptr;
  app.SetFrontEnd(nullptr);
  return code;
}

}  // namespace qr5::app
