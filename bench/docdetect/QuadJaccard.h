// Overlap of two page quadrilaterals as the evaluation scores it: both are
// clipped to the image frame, then intersection over union of their areas.
#pragma once

#include "PagePlacement.h"

#include <opencv2/core.hpp>

namespace bitonix {

// Jaccard index of `truth` and `found` inside the frame [0, w-1] x [0, h-1].
// Both must be convex (either orientation); a quadrilateral that is not
// convex scores 0, as does a pair whose union is empty.
double ClippedJaccard(const TQuad& truth, const TQuad& found, cv::Size frame);

// True when the corners run clockwise on screen (x right, y down) and form a
// convex quadrilateral.
bool IsClockwiseConvex(const TQuad& quad);

} // namespace bitonix
