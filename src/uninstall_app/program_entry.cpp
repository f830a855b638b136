#include "uninstall_app/program_entry.h"

#include <memory>

#include "forms/application.h"
#include "platform/platform.h"
#include "uninstall_app/uninstall_driver.h"

namespace qr5::uninstall {

int RunUninstaller(forms::FrontEnd& front_end) {
  platform::Machine& sys = platform::Sys();
  forms::Application& app = forms::App();
  std::string name = sys.files->GetModuleFileName();
  name = name.substr(name.find_last_of("\\:") + 1);
  app.title = name.substr(0, name.find_last_of('.'));
  app.SetFrontEnd(&front_end);
  const bool com = sys.com->Initialize();  // the shortcuts are read through COM
  app.show_main_form = false;
  {
    std::unique_ptr<TUninstallMainForm> main;
    if (app.Guard([&main, &app] {
          main = std::make_unique<TUninstallMainForm>();
          app.SetMainForm(main.get());
        })) {
      app.Run();
    }
    app.SetMainForm(nullptr);
  }
  if (com) sys.com->Uninitialize();
  app.SetFrontEnd(nullptr);
  return 0;
}

}  // namespace qr5::uninstall
