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

// Binarises every page of `file` and appends it to the open PDF (begun here
// when none is open). In separate mode the file's PDF is finished under its
// OutputFile unless the run was stopped. `processed` counts the run's pages.
// The stop flag is honoured after each page. A page's work files are removed
// however the page ends.
void ProcessPreparedFile(TRunContext& ctx, const TBatchFileInfo& file, const TBatchPageList& pages,
                         const TPageCorrectionList& corrections, int pageTotal, int& processed);

// Finishes the open PDF into `filename` and restarts the image numbering.
void saveqpdfout(TRunContext& ctx, const QString& filename);

} // namespace bitonix
