// Terminal host of a run.
#include "cli/CliHost.h"

#include "cli/CliProgress.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace bitonix {

namespace {

// Columns of the terminal on standard error; 80 when it does not say.
int TerminalWidth() {
    winsize size = {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

// Writes what is in `bytes` to `to` and flushes it; a failure is a stop
// request.
bool PrintBytes(FILE* to, const QByteArray& bytes) {
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                     to) == static_cast<std::size_t>(bytes.size()) &&
                         std::fflush(to) == 0;
    if (!written) {
        RequestStop();
    }
    return written;
}

} // namespace

bool PrintLine(FILE* to, const QString& text) {
    return PrintBytes(to, (text + QLatin1Char('\n')).toLocal8Bit());
}

TCliHost::TCliHost(TProgressStyle style, QStringList names, bool printWritten)
    : FStyle(style), FNames(std::move(names)), FPrintWritten(printWritten) {}

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

QString TCliHost::Counter() const {
    return FileCounter(FRow + 1, static_cast<int>(FNames.size()));
}

void TCliHost::Show(const QString& line) {
    switch (FStyle) {
    case TProgressStyle::psQuiet:
        return;
    case TProgressStyle::psLines:
    case TProgressStyle::psVerbose:
        PrintLine(stderr, line);
        return;
    case TProgressStyle::psTerminal:
        break;
    }
    // Back to the start of the line, overwrite, blank out what is left of a
    // longer line before; one character short of the width, so the terminal
    // never wraps.
    const QString fitted = FitToWidth(line, TerminalWidth() - 1);
    const qsizetype pad = std::max<qsizetype>(0, FShownWidth - fitted.size());
    PrintBytes(stderr, '\r' + fitted.toLocal8Bit() + QByteArray(pad, ' '));
    FShownWidth = fitted.size();
}

void TCliHost::CloseTerminalLine() {
    if (FShownWidth > 0) {
        PrintBytes(stderr, "\n");
        FShownWidth = 0;
    }
}

void TCliHost::Message(const QString& text) {
    CloseTerminalLine();
    PrintLine(stderr, text);
}

void TCliHost::Finish() {
    CloseTerminalLine();
    if (FStyle != TProgressStyle::psQuiet && !FLastStatus.isEmpty()) {
        PrintLine(stderr, FLastStatus);
    }
}

void TCliHost::OutputWritten(const QString& path) {
    if (!FPrintWritten) {
        return;
    }
    // On a terminal that shows both streams, the path gets a line of its own;
    // the progress line comes back with the next page.
    if (FShownWidth > 0 && ::isatty(STDOUT_FILENO) == 1) {
        PrintBytes(stderr, '\r' + QByteArray(FShownWidth, ' ') + '\r');
        FShownWidth = 0;
    }
    PrintLine(stdout, path);
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
