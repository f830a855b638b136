#include "session/run_outcome.h"

namespace qr5::session {

int ExitCodeOf(const RunOutcome& outcome) {
  if (outcome.could_not_start) return kExitCouldNotStart;
  if (outcome.fatal_before) return kExitFatalBefore;
  if (!outcome.work_started) return kExitCancelled;
  if (outcome.cancelled_during) return kExitCancelledDuring;
  if (outcome.incomplete) return kExitIncomplete;
  return kExitDone;
}

}  // namespace qr5::session
