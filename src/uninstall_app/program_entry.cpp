#include "uninstall_app/program_entry.h"

#include <memory>

#include "forms/application.h"
#include "platform/platform.h"
#include "session/message_box_sink.h"
#include "session/run_log.h"
#include "session/session_state.h"
#include "session/switch_box.h"
#include "uninstall_app/uninstall_driver.h"

namespace qr5::uninstall {

int RunUninstaller(forms::FrontEnd& front_end) {
  platform::Machine& sys = platform::Sys();
  forms::Application& app = forms::App();
  std::string name = sys.files->GetModuleFileName();
  name = name.substr(name.find_last_of("\\:") + 1);
  app.title = name.substr(0, name.find_last_of('.'));
  app.SetFrontEnd(&front_end);
  session::CommandLine& command = session::Session().Command;
  command = session::ParseCommandLine(sys.processes->GetCommandLine(), session::Program::kUninstaller);
  session::InstallMessageBoxSink(command);
  int code = session::kExitDone;
  if (!command.error.empty() || command.help) {
    if (command.log) session::StartLog(command.log_file, "Uninstall Log", sys.processes->GetCommandLine());
    code = session::TellCommandLine(command, session::Program::kUninstaller);
  } else {
    const bool com = sys.com->Initialize();  // the shortcuts are read through COM
    app.show_main_form = false;
    int handed_over = -1;
    {
      std::unique_ptr<TUninstallMainForm> main;
      if (app.Guard([&main, &app] {
            main = std::make_unique<TUninstallMainForm>();
            app.SetMainForm(main.get());
          })) {
        app.Run();
      }
      if (main) handed_over = main->handed_over_exit_code;
      app.SetMainForm(nullptr);
    }
    if (com) sys.com->Uninitialize();
    code = handed_over >= 0 ? handed_over : session::ExitCodeOf(session::Session().Outcome);
  }
  session::Log().Line("Exit code " + std::to_string(code));
  session::Log().Close();
  app.message_box_sink = nullptr;
  app.SetFrontEnd(nullptr);
  return code;
}

}  // namespace qr5::uninstall
