// Ranks the quadrilaterals built from four candidate lines (or fewer lines
// and image borders) by how much of the outline is backed by an edge with
// the paper on its inside.
#pragma once

#include "EdgeMaps.h"
#include "Geometry.h"

#include <array>
#include <optional>
#include <vector>

namespace bitonix {

struct TQuadCandidate {
    std::array<TLine, 4> Sides; // clockwise: side k runs from corner k to corner k + 1
    TCorners Corners;           // corner k joins side k - 1 and side k
    double Support = 0;         // edge-backed share of the visible outline, 0..1
    double Score = 0;           // Support weighted by the visible area and the overshoot
    double Contrast = 0;        // mean paper-map step across the backed outline, grey levels
    double AreaFraction = 0;    // visible area over the image area
    int BorderSides = 0;
    int ReversedSides = 0;  // sides with the paper on the darker side
    double WeakestSide = 0; // lowest backed share among well visible real sides
    double Overshoot = 0;   // mean over corners of how much a side's edge runs on past it, 0..1
};

// Quadrilaterals built from four of `lines` (each also tried reversed when
// it is among the 20 strongest, and the four image borders), the `count`
// best first, no two with all corners within two pixels of each other.
// Only convex ones that are large enough and plausible as a sheet seen in
// perspective are kept: interior angles 35 to 145 degrees, sides at least a
// tenth of the image's short side, at least 4 % of the image and half of
// the quadrilateral inside it, corners at most one image size outside.
//
// Score: Support = backed length / (visible length of the real sides + half
// the length run along image borders); Score = Support * (visible area
// share)^0.25 * (1 - Overshoot / 2), so that of two equally backed outlines
// the larger wins (a page over a photo block inside it) while a poorly
// backed large one loses, and an outline whose sides' edges run on past its
// corners (part of a page cut off by a printed line) loses too. Overshoot of
// a corner: the larger backed share of its two sides' continuations over a
// tenth of their length beyond it.
// A sample of an outline is backed as GatherEvidence (LineEvidence.h) says.
// One side may instead be an image border or a reversed line (backed where
// the gradient points out; it counts 0.85), or two sides may be borders
// meeting at an image corner.
std::vector<TQuadCandidate> RankQuads(const TEdgeMaps& maps, const std::vector<TLine>& lines,
                                      std::size_t count);

} // namespace bitonix
