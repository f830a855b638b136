// How a run of either program ended, and the exit code that says so to a
// scripted caller; the same codes whether pages were shown or not.
#pragma once

namespace qr5::session {

inline constexpr int kExitDone = 0;               // installed (removed) completely
inline constexpr int kExitCouldNotStart = 1;      // bad switch, second copy, no payload, nothing installed
inline constexpr int kExitCancelled = 2;          // cancelled before the work began
inline constexpr int kExitFatalBefore = 3;        // folder, language or rights refused before the work began
inline constexpr int kExitIncomplete = 4;         // the work ran but was not completed
inline constexpr int kExitCancelledDuring = 5;    // asked to end while the work ran

struct RunOutcome {
  bool could_not_start = false;
  bool fatal_before = false;
  bool work_started = false;      // the installation (removal) began
  bool cancelled_during = false;  // a request to end reached it while it ran
  bool incomplete = false;        // something was told as not done
};

// The first that holds: could not start 1, fatal 3, not started 2,
// cancelled during 5, incomplete 4, else 0.
int ExitCodeOf(const RunOutcome& outcome);

}  // namespace qr5::session
