// The host of a suite program over the simulated machine, with the console.
#include "hosts/host_entry.h"

#include <unistd.h>

#include <iostream>
#include <memory>

#include "front_ends/console/console_front_end.h"
#include "platform/command_line_words.h"
#include "platform/sim/sim_host_program.h"

namespace qr5::hosts {

int RunOnSimulatedMachine(int argc, char** argv, const std::string& program_name, ProgramMain run) {
  std::string error;
  std::unique_ptr<platform::sim::SimMachine> machine =
      platform::sim::OpenHostMachine(argc > 0 ? argv[0] : nullptr, program_name, &error);
  if (!machine) {
    std::cerr << error << "\n";
    return 2;
  }
  std::string arguments;
  for (int i = 1; i < argc; ++i) arguments += (i > 1 ? " " : "") + platform::QuoteWord(argv[i]);
  machine->SetArguments(arguments);
  platform::Install(&machine->machine());
  front_ends::ConsoleFrontEnd console(std::cin, std::cout);
  // Actions replayed from a file are not echoed by a terminal: show them.
  console.echo = !isatty(STDIN_FILENO);
  const int code = run(console);
  platform::Install(nullptr);
  // A program it started (the uninstaller's copy) carries on in this console.
  const int started = platform::sim::ExecStartedProgram(*machine);
  return started != 0 ? started : code;
}

}  // namespace qr5::hosts
