// The texts of bitonix-cli's progress lines.
#pragma once

#include <QString>

namespace bitonix {

// Where a run stands after a page was converted.
struct TPageProgress {
    int FileNo = 0;     // 1-based number of the current input
    int FileCount = 0;  // inputs in the run
    QString Name;       // the current input as progress calls it
    int Page = 0;       // 1-based page within the current input; 0 before its first
    int Done = 0;       // pages of the run converted so far
    int Total = 0;      // pages of the run
    double Seconds = 0; // since the first page was started
};

// "[2/5] " for input 2 of 5.
QString FileCounter(int fileNo, int fileCount);

// "[2/5] 17/40 pages, 42% | 3.1 pages/s | 0:08 left | scan.pdf, page 3";
// rate and time left only once some time has passed. The name comes last,
// so a line cut to the terminal's width keeps the figures.
QString PageProgressLine(const TPageProgress& progress);

// Seconds as "0:08", "12:34" or "1:02:03".
QString ClockText(int seconds);

// `line` cut to at most `width` characters, ending in "..." when cut.
QString FitToWidth(const QString& line, int width);

} // namespace bitonix
