// Starting a program of the suite on the host: the simulated machine it runs
// on, found from where its executable lies, and the programs it asked to
// start, run in its place.
#pragma once

#include <memory>
#include <string>

#include "platform/sim/sim_machine.h"

namespace qr5::platform::sim {

// The machine whose drive folder holds this executable (or $QR5_MACHINE),
// with the module file name set. Null, with *error telling the user what to
// do, when there is none.
std::unique_ptr<SimMachine> OpenHostMachine(const char* argv0, const std::string& program,
                                            std::string* error);

// Replaces this process by the first program the run asked to start (the
// console stays attached), with QR5_MACHINE naming the machine. Returns
// only when nothing was started (0) or the start failed (2).
int ExecStartedProgram(SimMachine& machine);

}  // namespace qr5::platform::sim
