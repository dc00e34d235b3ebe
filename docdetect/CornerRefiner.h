// Puts the sides of a found outline exactly onto the page edge at a finer
// scale than the one it was found at.
#pragma once

#include "Geometry.h"

#include <opencv2/core.hpp>

#include <array>

namespace bitonix {

// Moves every side that is not an image border onto the edge nearby in the
// 8-bit BGR image `fine` (channel gains `gains`, see WhiteBalanceGains). A
// strip of the image along the side, `reach` pixels to either side, is
// resampled so that the side runs along it; in each column the strongest
// gradient pointing into the page gives an edge point (sub-pixel by a
// parabola), and a line is fitted to the points with outliers (a thumb, a pen
// across the edge) dropped. A side keeps its place when too few points agree
// or the fitted line turns by more than three degrees. `sides` and `corners`
// are in the pixels of `fine`; returns the corners where the sides meet
// (the given corners if moved sides no longer meet).
TCorners RefineCorners(const cv::Mat& fine, const cv::Vec3f& gains,
                       const std::array<TLine, 4>& sides, const TCorners& corners, double reach);

} // namespace bitonix
