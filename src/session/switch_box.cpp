#include "session/switch_box.h"

#include "forms/application.h"
#include "platform/platform.h"
#include "session/run_log.h"
#include "session/run_outcome.h"

namespace qr5::session {

int TellCommandLine(const CommandLine& command, Program program) {
  forms::Application& app = forms::App();
  if (command.help) {
    app.MessageBox(HelpText(program), app.title, platform::MB_OK | platform::MB_ICONINFORMATION);
    return kExitDone;
  }
  Log().Line("Failure: " + command.error);
  app.MessageBox(command.error, app.title, platform::MB_OK | platform::MB_ICONERROR);
  return kExitCouldNotStart;
}

}  // namespace qr5::session
