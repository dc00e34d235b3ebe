// Whether a quadrilateral found in the coarse maps is credible as a page on
// a desk, and the region comparisons behind that decision.
#pragma once

#include "EdgeMaps.h"
#include "Geometry.h"
#include "QuadSearch.h"

namespace bitonix {

// Medians of the paper map inside and outside the quadrilateral (every
// second pixel; a part with no pixels gets the other part's median).
struct TRegionMedians {
    double Inside = 0;
    double Outside = 0;
};
TRegionMedians RegionMedians(const TEdgeMaps& maps, const TCorners& corners);

// How much more paper-like the inside of the quadrilateral is than the rest
// of the image: RegionMedians inside minus outside (grey levels). A page on a
// desk stands out; a box drawn on a page, a block of text or a patch of desk
// does not.
double Separation(const TEdgeMaps& maps, const TCorners& corners);

// The same comparison made locally, in bands along the sides: for each side
// that is not an image border, the median of `maps.Paper` in a band inside
// (from 2 % to 8 % of the image's short side away) minus the median in the
// matching band outside, turned round for a reversed side; the mean over
// those sides weighted by their visible length (grey levels). Uneven light
// changes both bands of a side alike, so a page in a dim corner of a lit
// desk still stands out from the desk next to it.
double BandSeparation(const TEdgeMaps& maps, const TQuadCandidate& quad);

// The tests a page outline must pass:
//   1. at least 55 % of its visible outline backed by an edge with the paper
//      inside, every well visible side at least 30 %, and 70 % if one side
//      runs along an image border (a page cut by the frame, which shows
//      fewer sides: they must be clear);
//   2. a mean step of at least 3 grey levels from outside to inside;
//   3. it stands out: Separation at least 4 grey levels, or, with no
//      reversed side, BandSeparation at least 8 when uneven light spoils the
//      global comparison.
bool IsCredible(const TEdgeMaps& maps, const TQuadCandidate& quad);

} // namespace bitonix
