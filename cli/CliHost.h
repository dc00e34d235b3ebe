// The run's view of the terminal: progress on standard error, the paths of
// finished PDFs on standard output, signals and broken pipes as the stop
// request.
#pragma once

#include "pipeline/RunHost.h"
#include "support/StopSignals.h"

#include <QStringList>
#include <chrono>
#include <cstdio>

namespace bitonix {

// Writes `text` and a line feed to `to` and flushes it. A write that fails
// (a closed pipe, a full disk) is a stop request: RequestStop(). Returns
// whether the line was written.
bool PrintLine(FILE* to, const QString& text);

// How progress is shown on standard error.
enum class TProgressStyle {
    psQuiet,    // nothing but errors
    psLines,    // a line per input as its conversion starts
    psVerbose,  // also a line per prepared and per converted page
    psTerminal, // one line, rewritten in place
};

class TCliHost : public TRunHost {
public:
    // `names` are what progress calls the run's inputs, in list order. With
    // `printWritten`, the path of every PDF goes to standard output as soon
    // as the PDF is complete.
    TCliHost(TProgressStyle style, QStringList names, bool printWritten);

    // psQuiet with -q, psVerbose with -v, else psTerminal when standard
    // error is a terminal that can move back to the start of a line.
    static TProgressStyle StyleFor(bool quiet, bool verbose);

    // A line for the user (a warning or an error), printed in every style;
    // the terminal line is moved out of its way.
    void Message(const QString& text);
    // Ends the progress display: the terminal line is closed, and the run's
    // last status text (its duration, or "Cancelled") is printed unless
    // quiet.
    void Finish();

    bool Cancelled() const override { return StopRequested(); }
    void SetStatusText(const QString& text) override;
    void SetProgressLabel(const QString&) override {}
    void SetProgressMarquee(bool on) override;
    void SetProgress(int maximum, int position) override;
    bool WantsPreview() const override { return false; }
    void ShowPreview(const QImage&) override {}
    void SelectListRow(int row) override;
    void MergedOutputChanged(const QString&) override {}
    void OutputWritten(const QString& path) override;
    void Pump() override {}
    void ShowMessage(const QString& text) override { Message(text); }
    // The command line has no editor: pages keep their corners.
    bool EditCorrections(TPageCorrectionList&) override { return true; }

private:
    QString Counter() const;
    // The page line of the current input after its page `page` (0: before
    // its first page).
    QString PageLine(int page) const;
    // Shows one progress line as the style wants it.
    void Show(const QString& line);
    void CloseTerminalLine();

    TProgressStyle FStyle;
    QStringList FNames;
    bool FPrintWritten;
    int FRow = 0;
    bool FPreparing = false;  // inputs are being prepared
    bool FConverting = false; // pages are being converted
    int FTotal = 0;           // pages of the run
    int FDone = 0;            // pages of the run converted
    int FFileStart = 0;       // pages done when the current input's first page began
    std::chrono::steady_clock::time_point FStart;
    QString FLastStatus;
    qsizetype FShownWidth = 0; // characters of the terminal line now on screen
};

} // namespace bitonix
