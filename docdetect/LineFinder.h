// Straight edges that have a paper side: an oriented Hough transform of the
// edge pixels of the paper map.
#pragma once

#include "EdgeMaps.h"
#include "Geometry.h"

#include <vector>

namespace bitonix {

// Up to `maxLines` lines, strongest first, their normals pointing up the
// gradient (to the brighter side). Each edge pixel (a local maximum of the
// gradient, above a threshold that follows the image's noise) votes only for
// lines whose normal is near its own gradient direction: within two degrees
// for a strong edge, up to twelve for a faint one whose direction is less
// certain. So an edge and its mirror (paper on the other side) are different
// lines. Every peak is refitted to the edge pixels near it, and peaks that
// refit to the same line are kept once.
std::vector<TLine> FindLines(const TEdgeMaps& maps, int maxLines);

} // namespace bitonix
