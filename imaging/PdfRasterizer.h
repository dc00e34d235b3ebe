// Rendering every page of a PDF input into one JPEG file per page.
#pragma once

#include "imaging/ExtractFeedback.h"

#include <QString>

namespace bitonix {

// What extractpdf works on.
struct TPdfExtractJob {
    QString pdfsrcfile;      // full name of the PDF input
    QString pdfpageprefix;   // start of every page file's full name (folder + random part)
    QString pdfdpitext;      // resolution as shown in the list, e.g. "300"; not a number: 150
    bool thumbnails = false; // each page also gets its thumbnail file (WritePageThumbnail)
    int workers = 1;         // pages rendered at once, ahead of the one whose turn it is
};

// Renders each page that has a positive size, shrunk (never enlarged) to fit
// 595 x 842 points and rasterised at the job's resolution, over white with
// annotations, into pdfpageprefix + "-" + page number as "%.5d" + ".jpg"
// (quality 90). A page that cannot be sized, loaded or allocated is skipped
// and leaves a gap in the numbering. Stops quietly before a page when
// feedback.Cancelled(). Pages are rendered on worker threads while the
// caller waits through feedback.Await; progress, pumps and the stop flag stay
// on the caller's thread, in page order, and pages rendered ahead of a stop
// are removed again.
//
// Throws TError "PDFium: nie mozna odczytac pliku PDF: " + file when the file
// is missing or empty, "PDFium: nie mozna otworzyc pliku PDF: " + file when it
// is no readable PDF or needs a password, and a file-system error when it
// exists but cannot be read.
void extractpdf(const TPdfExtractJob& job, TExtractFeedback& feedback);

// Pixel size of a page of w x h points at `dpi`, fitted into A4 portrait
// (595 x 842 points) without enlarging; halves round to even, at least 1.
struct TPixelSize {
    int W = 0;
    int H = 0;
};
TPixelSize PdfPagePixelSize(double w, double h, int dpi);

} // namespace bitonix
