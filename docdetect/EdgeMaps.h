// The maps every later step reads: how bright and how paper-like each pixel
// is, and which way the edges point. Paper is bright and colourless, so two
// maps are kept, grey and grey minus a share of the colourfulness (after the
// light's colour cast is removed); at each pixel the stronger of their
// gradients is the edge. Either way the page is the bright side of its outline.
#pragma once

#include <opencv2/core.hpp>

namespace bitonix {

struct TEdgeMaps {
    cv::Mat Grey;       // CV_32F grey levels
    cv::Mat Paper;      // CV_32F paper-likeness: grey minus weighted colourfulness
    cv::Mat Print;      // CV_8U 1 where print is: much darker than the closed grey map
                        //   where that is as bright as paper; empty unless closed
    cv::Mat Gx;         // CV_32F the stronger of the two maps' smoothed derivatives,
    cv::Mat Gy;         //   grey levels per pixel
    double Noise = 1.0; // median gradient magnitude: the image's background level
};

// Channel gains (B, G, R) that make the brightest tenth of an 8-bit BGR
// image grey: the light's colour cast removed, on the assumption that the
// brightest thing in a photo of a page is paper. Each gain is within
// [1/1.4, 1.4].
cv::Vec3f WhiteBalanceGains(const cv::Mat& bgr);

// Builds the maps of an 8-bit BGR image, its channels multiplied by `gains`.
// With `closeText`, dark detail narrower than about five pixels (print,
// rules, thin objects) is closed away first so that the page reads as one
// bright area; the image border is replicated so that a thin strip of desk
// at the border survives. What was closed away marks Print where it was at
// least 15 grey levels dark and the closed map is within 40 grey levels of
// paper white (the 90th percentile of the closed map): strokes on paper,
// not the texture of a darker desk.
TEdgeMaps MakeEdgeMaps(const cv::Mat& bgr, const cv::Vec3f& gains, bool closeText);

// Bilinear sample of a CV_32F map; points outside are clamped to the border.
float Sample(const cv::Mat& map, cv::Point2d p);

// How much brighter (or more paper-like, whichever is more) the maps are
// `reach` pixels from p along the unit vector n than the same distance back.
double StepAcross(const TEdgeMaps& maps, cv::Point2d p, cv::Point2d n, double reach);

} // namespace bitonix
