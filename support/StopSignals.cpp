// Stop requests: the signal handlers and the self-pipe they write to.
#include "support/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace bitonix {

namespace {

// The handler may touch nothing else: a flag and the pipe's write end.
volatile std::sig_atomic_t GStopRequested = 0;
int GNotifyRead = -1;
volatile std::sig_atomic_t GNotifyWrite = -1;

constexpr int KStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnStopSignal(int /*signal*/) {
    RequestStop();
}

} // namespace

void RequestStop() {
    const int saved = errno;
    GStopRequested = 1;
    if (GNotifyWrite >= 0) {
        const char byte = 1;
        // A full pipe already says that a request is waiting.
        [[maybe_unused]] const ssize_t n = ::write(GNotifyWrite, &byte, 1);
    }
    errno = saved;
}

void InstallStopSignals() {
    if (GNotifyRead < 0) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            GNotifyRead = fds[0];
            GNotifyWrite = fds[1];
        }
    }
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : KStopSignals) {
        sigaction(signal, &action, nullptr);
        sigaddset(&stops, signal);
    }
    sigprocmask(SIG_UNBLOCK, &stops, nullptr);

    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

bool StopRequested() {
    return GStopRequested != 0;
}

int StopNotifyFd() {
    return GNotifyRead;
}

void DrainStopNotify() {
    if (GNotifyRead < 0) {
        return;
    }
    char buffer[64];
    while (::read(GNotifyRead, buffer, sizeof buffer) > 0) {
    }
}

} // namespace bitonix
