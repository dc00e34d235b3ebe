// Whether a quadrilateral found in the coarse maps is credible as a page on
// a desk, and the region comparisons behind that decision.
#pragma once

#include "EdgeMaps.h"
#include "Geometry.h"
#include "QuadSearch.h"

namespace bitonix {

// The inside of a quadrilateral against the rest of the image, over every
// second pixel and leaving out a ring of 2 % of the short side around the
// outline (the page's shadow and blur): medians of the paper map (a part with
// no pixels gets the other part's) and the shares of printed pixels
// (TEdgeMaps::Print).
struct TRegionStats {
    double PaperInside = 0;
    double PaperOutside = 0;
    double InkInside = 0;
    double InkOutside = 0;
};
TRegionStats RegionStats(const TEdgeMaps& maps, const TCorners& corners);

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
//      inside, every well visible side at least 30 %, and 60 % if one side
//      runs along an image border (a page cut by the frame, which shows
//      fewer sides: they must be clear);
//   2. a mean step of at least 3 grey levels from outside to inside, 8 when
//      a side is reversed (the other sides must then be clear);
//   3. it is not a piece of paper among paper: not (paper median inside
//      less than 15 grey levels above the outside's and the outside printed
//      at least a quarter as densely) - a block of a flat scan or of a
//      rendered page - and not less densely printed than its outside - a
//      blank part of one;
//   4. it stands out: the paper median inside at least 4 grey levels above
//      the outside's, or at least 3 % of it printed and the outside nearly
//      bare (at most a twentieth as densely: a page on a bright desk), or,
//      with no reversed side, BandSeparation at least 8 when uneven light
//      spoils the global comparison.
bool IsCredible(const TEdgeMaps& maps, const TQuadCandidate& quad);

} // namespace bitonix
