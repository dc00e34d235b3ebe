// What the edge maps say along one line: for every pixel step of its
// visible stretch, whether an edge with the paper on the line's paper side
// backs it and how large the step across it is, as prefix sums so that any
// stretch is summed in constant time.
#pragma once

#include "EdgeMaps.h"
#include "Geometry.h"

#include <vector>

namespace bitonix {

struct TLineEvidence {
    TLine Line;
    double From = 0; // visible range of t = Line.Direction() . p
    double To = 0;
    std::vector<double> Backed;   // prefix sums: backed samples in [From, From + i)
    std::vector<double> Contrast; // prefix sums of the step across, over backed samples
    std::vector<double> Step;     // prefix sums of the step across, over all samples
};

// Samples `line` on the maps (none for a border line). A sample is backed
// when the gradient one pixel around it points to the paper side (against
// it for a reversed line) within 45 degrees and is at least
// max(0.5, 1.5 * maps.Noise); its step is StepAcross three pixels either
// way, turned round for a reversed line.
TLineEvidence GatherEvidence(const TEdgeMaps& maps, const TLine& line);

// The sum of `sums` (one of the prefix arrays of `e`) over the stretch
// [lo, hi] of the line parameter, interpolated between samples; lo and hi
// are clamped to the visible stretch.
double Between(const std::vector<double>& sums, const TLineEvidence& e, double lo, double hi);

} // namespace bitonix
