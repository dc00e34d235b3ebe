// Lines with a paper side, corners and the pixel mapping between the scales
// the detector works at.
#pragma once

#include <opencv2/core.hpp>

#include <array>
#include <cmath>
#include <optional>

namespace bitonix {

// Four corners in pixels (x right, y down), running clockwise on screen.
using TCorners = std::array<cv::Point2d, 4>;

// The line of points x with Normal . x == Offset. Normal has unit length and
// points to the side where the paper is, normally the brighter side of the
// edge; a reversed line has the paper on its darker side (a page in shadow
// against a lit desk). A border line is an image edge standing in for a page
// side outside the photo.
struct TLine {
    cv::Point2d Normal{1, 0};
    double Offset = 0;
    bool Border = false;
    bool Reversed = false;

    // +1 when the paper side is the brighter one, -1 when reversed.
    double Sense() const { return Reversed ? -1.0 : 1.0; }

    double Distance(cv::Point2d p) const { return Normal.dot(p) - Offset; }
    cv::Point2d Direction() const { return {-Normal.y, Normal.x}; }
    // Angle of the normal in degrees, [0, 360).
    double AngleDeg() const {
        const double a = std::atan2(Normal.y, Normal.x) * 180.0 / CV_PI;
        return a < 0 ? a + 360.0 : a;
    }
};

// The line through a and b whose normal points to the side of `inside`.
inline TLine LineThrough(cv::Point2d a, cv::Point2d b, cv::Point2d inside, bool border = false,
                         bool reversed = false) {
    const cv::Point2d d = b - a;
    const double length = std::hypot(d.x, d.y);
    TLine line;
    line.Border = border;
    line.Reversed = reversed;
    if (length <= 0)
        return line;
    line.Normal = cv::Point2d(-d.y / length, d.x / length);
    line.Offset = line.Normal.dot(a);
    if (line.Distance(inside) < 0) {
        line.Normal = -line.Normal;
        line.Offset = -line.Offset;
    }
    return line;
}

// Crossing point of two lines; empty when they are closer to parallel than
// `minSine` (the sine of the angle between them).
inline std::optional<cv::Point2d> Intersect(const TLine& a, const TLine& b, double minSine = 1e-3) {
    const double det = a.Normal.x * b.Normal.y - a.Normal.y * b.Normal.x;
    if (std::abs(det) < minSine)
        return std::nullopt;
    return cv::Point2d((a.Offset * b.Normal.y - b.Offset * a.Normal.y) / det,
                       (a.Normal.x * b.Offset - b.Normal.x * a.Offset) / det);
}

// Affine pixel mapping between a scaled copy and the image it was made
// from: original = copy * Scale + Shift, per axis.
struct TScaleMap {
    cv::Point2d Scale{1, 1};
    cv::Point2d Shift{0, 0};

    // A copy whose pixel u covers original pixels [u * scale, (u + 1) * scale):
    // pixel centres map to the centres of those blocks.
    static TScaleMap Blocks(double scaleX, double scaleY) {
        return {{scaleX, scaleY}, {0.5 * scaleX - 0.5, 0.5 * scaleY - 0.5}};
    }

    cv::Point2d ToOriginal(cv::Point2d p) const {
        return {p.x * Scale.x + Shift.x, p.y * Scale.y + Shift.y};
    }
};

} // namespace bitonix
