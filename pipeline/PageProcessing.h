// Turning the prepared pages of one input file into PDF pages.
#pragma once

#include "pipeline/BatchRecords.h"
#include "pipeline/RunContext.h"
#include "support/PageSize.h"

#include <cstdint>

namespace bitonix {

// Where an image of w x h pixels is drawn on `page`: the full width, or the
// full height when it is relatively taller than the page, centred. All values
// in points; halves round to even; offsets truncate; an image too thin to
// show still gets one point.
struct TPagePlacement {
    int W = 0;
    int H = 0;
    int X = 0;
    int Y = 0;
};
TPagePlacement PlaceOnPage(std::uint32_t w, std::uint32_t h, TPageSize page);

// Longer side, in pixels, of the reduced page a host's preview is shown from.
inline constexpr int KPreviewSide = 1200;

// What the binariser does with a page of a run with `settings`: the page's
// turn (its own in the manual mode, the global choice otherwise), the
// outline to straighten (only in the straightening modes and only when the
// corners differ from the full page), intensity and window, and a preview
// when `preview`.
TBinariseJob BinariseJobFor(const TRunSettings& settings, const TPageCorrection& corr,
                            bool preview);

// Hands every page of the run (in the order of `pages`) to the binariser's
// worker threads: Settings.PageWorkers pages at a time, each on all cores.
// ProcessPreparedFile takes them in that order.
void StartBinarising(TRunContext& ctx, const TBatchPageList& pages,
                     const TPageCorrectionList& corrections);

// Appends every page of `file`, binarised by the workers StartBinarising
// started, to the open PDF (begun here when none is open). In separate mode
// the file's PDF is finished under its OutputFile unless the run was
// stopped. `processed` counts the run's pages. The stop flag is honoured
// after each page. Returns whether every page went in (and in separate mode
// the PDF was written). Throws "Unable to open file '<page>.tif'" for a page
// the binariser could not make.
bool ProcessPreparedFile(TRunContext& ctx, const TBatchFileInfo& file, const TBatchPageList& pages,
                         int pageTotal, int& processed);

// Finishes the open PDF into `filename` and restarts the image numbering.
// When `filename` was taken meanwhile (by another run or program, a link),
// the PDF goes under the next free name by the run's numbering rule
// (filemaneprocess; in separate mode also past the names reserved for the
// run's other files). The name written is added to ctx.Written and reported
// to the host (OutputWritten; in merged mode also MergedOutputChanged when
// it moved, and it becomes ctx.MergedOutput). Returns that name.
QString saveqpdfout(TRunContext& ctx, const QString& filename);

} // namespace bitonix
