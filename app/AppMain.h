// The window program's life after start-up: stale temporary folders are
// removed, the main window is shown, and the event loop runs until the
// window closes, a stop request (support/StopSignals.h) closing it too.
#pragma once

namespace bitonix {

class TForm1;

// Removes the temporary folders that killed runs left behind, shows `form`
// and runs the event loop until the window has closed. A stop request
// (SIGINT, SIGTERM, SIGHUP after InstallStopSignals) closes the window as
// its close button does, after dismissing every open dialog: a run in
// progress stops and cleans up first. Returns the exit status: 0, or
// KExitStopped when a stop request ended the program.
int RunMainWindow(TForm1& form);

} // namespace bitonix
