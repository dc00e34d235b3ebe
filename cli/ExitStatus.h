// The exit statuses of bitonix-cli, which scripts rely on.
#pragma once

#include "support/StopSignals.h"

namespace bitonix {

inline constexpr int KExitDone = 0;    // every input was converted
inline constexpr int KExitFailed = 1;  // the run failed, or nothing could be read
inline constexpr int KExitUsage = 2;   // bad command line or an output that cannot be written
inline constexpr int KExitSkipped = 3; // some inputs skipped, all the others converted
// KExitStopped (130, support/StopSignals.h): stopped before the work was done,
// by SIGINT, SIGTERM or SIGHUP, or because standard output or standard error
// could not be written (a closed pipe).

} // namespace bitonix
