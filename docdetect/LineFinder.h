// Straight edges that have a paper side: an oriented Hough transform of the
// edge pixels of the paper map.
#pragma once

#include "EdgeMaps.h"
#include "Geometry.h"

#include <vector>

namespace bitonix {

// Up to `maxLines` lines, strongest first. Each edge pixel (a local maximum
// of the gradient, above a threshold that follows the image's noise) votes
// only for lines within two degrees of its own gradient direction, so an
// edge and its mirror (paper on the other side) are different lines. Every
// peak is refitted to the edge pixels that voted for it.
std::vector<TLine> FindLines(const TEdgeMaps& maps, int maxLines);

} // namespace bitonix
