// Where a page lies in a photo: a flat sheet seen by a pinhole camera
// (in-plane turn, tilt, distance) and shifted within the frame.
#pragma once

#include "Random.h"

#include <opencv2/core.hpp>

#include <array>
#include <optional>

namespace bitonix {

// Four image points in the page's own order: its top-left, top-right,
// bottom-right, bottom-left corner (pixels, x right, y down).
using TQuad = std::array<cv::Point2f, 4>;

struct TPagePose {
    cv::Size2d PageMm{210, 297}; // sheet size, width x height
    double RollDeg = 0;          // turn in the image plane
    double PitchDeg = 0;         // tilt about the sheet's horizontal axis
    double YawDeg = 0;           // tilt about its vertical axis
};

struct TPlacement {
    double AreaFraction = 0.4; // of the frame covered by the whole sheet
    double MarginFraction = 0.02;
    bool CutOff = false; // part of the sheet outside the frame
};

// Projects the sheet and shifts it into the frame. With `CutOff`, 10 % to
// 40 % of the sheet lies outside and at least three of its sides show;
// otherwise every corner stays `MarginFraction` of the frame inside.
// Empty when no position satisfies that after a bounded number of tries.
std::optional<TQuad> PlacePage(TRandom& rnd, cv::Size frame, const TPagePose& pose,
                               const TPlacement& placement);

// Area of a simple polygon given in either orientation.
double QuadArea(const TQuad& quad);

// Area of the part of a convex quadrilateral inside [0, w-1] x [0, h-1].
double VisibleArea(const TQuad& quad, cv::Size frame);

// The page's order with its corners turned to the image-centred convention
// of the detector: 0 is the corner with the least x + y, then clockwise.
TQuad ImageOrder(const TQuad& quad);

} // namespace bitonix
