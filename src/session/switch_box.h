// What a program shows instead of running when its command line asks for
// the list of switches (/? or /HELP) or holds a switch it cannot take.
#pragma once

#include "session/command_line.h"

namespace qr5::session {

// The help box (exit code 0) or a box naming the switch (exit code 1),
// with the application's title as caption; returns that exit code.
int TellCommandLine(const CommandLine& command, Program program);

}  // namespace qr5::session
