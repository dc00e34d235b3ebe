// Terminal host of a run.
#include "cli/CliHost.h"

#include "cli/CliProgress.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
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

void PrintLine(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// Columns of the terminal on standard error; 80 when it does not say.
int TerminalWidth() {
    winsize size = {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

} // namespace

TCliHost::TCliHost(TProgressStyle style, QStringList names)
    : FStyle(style), FNames(std::move(names)) {}

TProgressStyle TCliHost::StyleFor(bool quiet, bool verbose) {
    if (quiet) {
        return TProgressStyle::psQuiet;
    }
    if (verbose) {
        return TProgressStyle::psVerbose;
    }
    const char* term = std::getenv("TERM");
    const bool dumb = term != nullptr && std::strcmp(term, "dumb") == 0;
    return ::isatty(STDERR_FILENO) == 1 && !dumb ? TProgressStyle::psTerminal
                                                 : TProgressStyle::psLines;
}

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

QString TCliHost::Counter() const {
    return FileCounter(FRow + 1, static_cast<int>(FNames.size()));
}

void TCliHost::Show(const QString& line) {
    switch (FStyle) {
    case TProgressStyle::psQuiet:
        return;
    case TProgressStyle::psLines:
    case TProgressStyle::psVerbose:
        PrintLine(line);
        return;
    case TProgressStyle::psTerminal:
        break;
    }
    // Back to the start of the line, overwrite, blank out what is left of a
    // longer line before; one character short of the width, so the terminal
    // never wraps.
    const QString fitted = FitToWidth(line, TerminalWidth() - 1);
    const qsizetype pad = std::max<qsizetype>(0, FShownWidth - fitted.size());
    std::fprintf(stderr, "\r%s%s", fitted.toLocal8Bit().constData(),
                 QByteArray(pad, ' ').constData());
    std::fflush(stderr);
    FShownWidth = fitted.size();
}

void TCliHost::CloseTerminalLine() {
    if (FShownWidth > 0) {
        std::fputc('\n', stderr);
        FShownWidth = 0;
    }
}

void TCliHost::Message(const QString& text) {
    CloseTerminalLine();
    PrintLine(text);
}

void TCliHost::Finish() {
    CloseTerminalLine();
    if (FStyle != TProgressStyle::psQuiet && !FLastStatus.isEmpty()) {
        PrintLine(FLastStatus);
    }
}

void TCliHost::SetStatusText(const QString& text) {
    if (text == FLastStatus) {
        return;
    }
    FLastStatus = text;
    // Only the preparation's texts are shown: page lines say more than the
    // conversion's, and Finish prints the last one.
    if (FPreparing && FStyle != TProgressStyle::psLines) {
        Show(Counter() + text);
    }
}

void TCliHost::SetProgressMarquee(bool on) {
    FPreparing = on;
}

void TCliHost::SelectListRow(int row) {
    FRow = row;
    if (!FConverting) {
        return;
    }
    FFileStart = -1; // taken at the file's first page
    if (FStyle == TProgressStyle::psTerminal) {
        Show(PageLine(/*page=*/0));
    } else {
        Show(Counter() + QStringLiteral("Converting: ") + FNames.value(row));
    }
}

void TCliHost::SetProgress(int maximum, int position) {
    FDone = position;
    if (position == 0) {
        FConverting = true;
        FTotal = maximum;
        FFileStart = 0;
        FStart = std::chrono::steady_clock::now();
        return;
    }
    if (FFileStart < 0) {
        FFileStart = position - 1;
    }
    if (FStyle != TProgressStyle::psLines) {
        Show(PageLine(position - FFileStart));
    }
}

QString TCliHost::PageLine(int page) const {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - FStart;
    return PageProgressLine({FRow + 1, static_cast<int>(FNames.size()), FNames.value(FRow), page,
                             FDone, FTotal, elapsed.count()});
}

} // namespace bitonix
