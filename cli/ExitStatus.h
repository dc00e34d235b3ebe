// The exit statuses of bitonix-cli, which scripts rely on.
#pragma once

namespace bitonix {

inline constexpr int KExitDone = 0;      // every input was converted
inline constexpr int KExitFailed = 1;    // the run failed, or nothing could be read
inline constexpr int KExitUsage = 2;     // bad command line or an output that cannot be written
inline constexpr int KExitSkipped = 3;   // some inputs skipped, all the others converted
inline constexpr int KExitStopped = 130; // stopped by SIGINT or SIGTERM

} // namespace bitonix
