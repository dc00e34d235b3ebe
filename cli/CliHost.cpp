// Terminal host of a run.
#include "cli/CliHost.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace bitonix {

namespace {

volatile std::sig_atomic_t GStopSignals = 0;

extern "C" void OnStopSignal(int signal) {
    GStopSignals = GStopSignals + 1;
    if (GStopSignals > 1) {
        // A second request: the user wants out now.
        _exit(128 + signal);
    }
}

} // namespace

void TCliHost::InstallStopSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A parent may hand the signals down blocked; a stop request must arrive.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(SIG_UNBLOCK, &stops, nullptr);
}

bool TCliHost::StopRequested() {
    return GStopSignals > 0;
}

void TCliHost::SetStatusText(const QString& text) {
    if (FQuiet || text == FLastStatus) {
        return;
    }
    FLastStatus = text;
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void TCliHost::ShowMessage(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

} // namespace bitonix
