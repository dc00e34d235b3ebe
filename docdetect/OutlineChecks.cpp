// Region comparisons and the credibility test of a page outline.
#include "OutlineChecks.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace bitonix {

namespace {

constexpr double KMinSupport = 0.55;
constexpr double KMinBorderSupport = 0.6;
// Each of the two sides of a page with a corner out of the photo.
constexpr double KMinCornerOutSideSupport = 0.7;
constexpr double KMinSideSupport = 0.3;
constexpr double KMinContrast = 3.0;
// When one side has the paper on its dark side.
constexpr double KMinReversedContrast = 8.0;
constexpr double KMinSeparation = 4.0;
constexpr double KMinBandSeparation = 8.0;
// Separation below which the outside may be the same paper...
constexpr double KPaperAround = 15.0;
// ...and printed alike: at least this share of the inside's print density.
constexpr double KSimilarInk = 0.25;
// Print makes a page stand out when at least this share of it is printed...
constexpr double KMinInk = 0.03;
// ...and the outside at most this share as densely.
constexpr double KSparseInk = 0.05;
constexpr double KRingShare = 0.02; // of the short side: the outline's surroundings left out
constexpr std::uint8_t KOnOutline = 2;
constexpr double KBandNear = 0.02; // band depths as shares of the image's short side
constexpr double KBandFar = 0.08;
constexpr int KAlong = 32; // samples along a side
constexpr int KAcross = 4; //   and across a band

bool InImage(const cv::Mat& map, cv::Point2d p) {
    return p.x >= 0 && p.y >= 0 && p.x <= map.cols - 1.0 && p.y <= map.rows - 1.0;
}

double Median(std::vector<float>& values) {
    std::nth_element(values.begin(),
                     values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return static_cast<double>(values[values.size() / 2]);
}

// Paper-map samples in the band beside the segment a-b on the side its
// unit normal n points to, from KBandNear to KBandFar of the short side.
std::vector<float> Band(const TEdgeMaps& maps, cv::Point2d a, cv::Point2d b, cv::Point2d n) {
    const double shortSide = std::min(maps.Paper.cols, maps.Paper.rows);
    std::vector<float> samples;
    for (int i = 0; i < KAlong; ++i) {
        const cv::Point2d p = a + (b - a) * ((i + 0.5) / KAlong);
        for (int j = 0; j < KAcross; ++j) {
            const cv::Point2d q =
                p + n * (shortSide * (KBandNear + (KBandFar - KBandNear) * j / (KAcross - 1)));
            if (InImage(maps.Paper, q)) {
                samples.push_back(Sample(maps.Paper, q));
            }
        }
    }
    return samples;
}

} // namespace

TRegionStats RegionStats(const TEdgeMaps& maps, const TCorners& corners) {
    cv::Mat inside(maps.Paper.size(), CV_8U, cv::Scalar(0));
    std::vector<cv::Point> polygon;
    for (const cv::Point2d& c : corners) {
        polygon.emplace_back(cvRound(c.x * 16), cvRound(c.y * 16));
    }
    cv::fillConvexPoly(inside, polygon, cv::Scalar(1), cv::LINE_8, /*shift=*/4);
    // The outline's own surroundings (the page's shadow, blur) belong to
    // neither part.
    const int ring = std::max(1, cvRound(KRingShare * std::min(inside.cols, inside.rows)));
    cv::polylines(inside, polygon, /*isClosed=*/true, cv::Scalar(KOnOutline), 2 * ring + 1,
                  cv::LINE_8,
                  /*shift=*/4);
    std::array<int, 256> histograms[2] = {};
    int counts[2] = {0, 0};
    int inked[2] = {0, 0};
    for (int y = 0; y < inside.rows; y += 2) {
        const float* paper = maps.Paper.ptr<float>(y);
        const std::uint8_t* print = maps.Print.empty() ? nullptr : maps.Print.ptr<std::uint8_t>(y);
        const std::uint8_t* mask = inside.ptr<std::uint8_t>(y);
        for (int x = 0; x < inside.cols; x += 2) {
            if (mask[x] == KOnOutline) {
                continue;
            }
            const int level = std::clamp(cvRound(paper[x]), 0, 255);
            ++histograms[mask[x]][static_cast<std::size_t>(level)];
            ++counts[mask[x]];
            if (print != nullptr && print[x] != 0) {
                ++inked[mask[x]];
            }
        }
    }
    int medians[2] = {0, 0};
    for (int part = 0; part < 2; ++part) {
        int seen = 0;
        int level = 0;
        while (level < 255 &&
               (seen += histograms[part][static_cast<std::size_t>(level)]) * 2 < counts[part]) {
            ++level;
        }
        medians[part] = level;
    }
    if (counts[0] == 0) {
        medians[0] = medians[1];
    }
    if (counts[1] == 0) {
        medians[1] = medians[0];
    }
    TRegionStats stats;
    stats.PaperInside = medians[1];
    stats.PaperOutside = medians[0];
    stats.InkInside = counts[1] > 0 ? static_cast<double>(inked[1]) / counts[1] : 0.0;
    stats.InkOutside = counts[0] > 0 ? static_cast<double>(inked[0]) / counts[0] : 0.0;
    return stats;
}

double BandSeparation(const TEdgeMaps& maps, const TQuadCandidate& quad) {
    double weighted = 0;
    double weights = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const TLine& side = quad.Sides[k];
        if (side.Border) {
            continue;
        }
        const cv::Point2d a = quad.Corners[k];
        const cv::Point2d b = quad.Corners[(k + 1) % 4];
        std::vector<float> inner = Band(maps, a, b, side.Normal);
        std::vector<float> outer = Band(maps, a, b, -side.Normal);
        if (inner.size() < KAcross * 4 || outer.size() < KAcross * 4) {
            continue;
        }
        const double length = cv::norm(b - a) *
                              static_cast<double>(std::min(inner.size(), outer.size())) /
                              (KAlong * KAcross);
        weighted += length * side.Sense() * (Median(inner) - Median(outer));
        weights += length;
    }
    return weights > 0 ? weighted / weights : 0.0;
}

bool IsCredible(const TEdgeMaps& maps, const TQuadCandidate& quad) {
    if (quad.Support < KMinSupport || quad.WeakestSide < KMinSideSupport ||
        quad.Contrast < KMinContrast ||
        (quad.ReversedSides > 0 && quad.Contrast < KMinReversedContrast)) {
        return false;
    }
    if ((quad.BorderSides > 0 && quad.Support < KMinBorderSupport) ||
        (quad.BorderSides > 1 && quad.WeakestSide < KMinCornerOutSideSupport)) {
        return false;
    }
    const TRegionStats region = RegionStats(maps, quad.Corners);
    const double separation = region.PaperInside - region.PaperOutside;
    // Paper all around, printed alike: a part of a scan or of a rendered
    // page; or printed more densely outside than inside: a blank part of one.
    if ((separation < KPaperAround && region.InkOutside >= KSimilarInk * region.InkInside) ||
        region.InkOutside > region.InkInside) {
        return false;
    }
    const bool printStandsOut =
        region.InkInside >= KMinInk && region.InkOutside <= KSparseInk * region.InkInside;
    return separation >= KMinSeparation || printStandsOut ||
           (quad.ReversedSides == 0 && BandSeparation(maps, quad) >= KMinBandSeparation);
}

} // namespace bitonix
