// Stop requests from outside a run: SIGINT, SIGTERM and SIGHUP, and a write
// to standard output or standard error that failed (a closed pipe, a full
// disk). Both programs install the handlers once at start; a run polls
// StopRequested() at its usual points, and an event loop can watch
// StopNotifyFd() to hear of a request at once.
//
// Operations: InstallStopSignals, StopRequested, RequestStop, StopNotifyFd,
// DrainStopNotify.
#pragma once

namespace bitonix {

// Exit status of a program that ended because of a stop request.
inline constexpr int KExitStopped = 130;

// Makes SIGINT, SIGTERM and SIGHUP requests to stop instead of ending the
// process, ignores SIGPIPE (a write to a closed pipe then fails with EPIPE,
// which the writer treats as a stop request) and unblocks the three signals
// (a parent may hand them down blocked). Call once, before any thread is
// started.
//
// Notes:
//  1. Every further signal is one more request; none ends the process at
//     once, so a clean-up under way always finishes.
//  2. The handlers restart interrupted system calls (SA_RESTART): a wait
//     that must end on a request polls StopNotifyFd() too.
void InstallStopSignals();

// True once any request arrived.
bool StopRequested();

// Records a request from inside the process. Async-signal-safe.
void RequestStop();

// The read end of a pipe that gets a byte at every request (non-blocking,
// close-on-exec); -1 before InstallStopSignals.
int StopNotifyFd();

// Reads away the bytes waiting on StopNotifyFd(); the request itself stays.
void DrainStopNotify();

} // namespace bitonix
