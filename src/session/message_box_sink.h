// The message boxes of a run with a log or with /SUPPRESSMSGBOXES: each
// box's text goes to the log; in a silent run whose boxes are suppressed it
// takes its default answer and nothing is shown.
#pragma once

#include "session/command_line.h"

namespace qr5::session {

// The button a box answers Enter with: the second with MB_DEFBUTTON2, else
// the first (OK, Yes, Abort, Retry).
int DefaultAnswer(unsigned flags);

// Hooks the application's message boxes for this command line.
void InstallMessageBoxSink(const CommandLine& command);

}  // namespace qr5::session
