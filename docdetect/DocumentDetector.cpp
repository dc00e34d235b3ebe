// The detection pipeline: load, find lines, choose the outline, refine, map.
#include "DocumentDetector.h"

#include "CornerOrder.h"
#include "CornerRefiner.h"
#include "EdgeMaps.h"
#include "ImageSource.h"
#include "LineFinder.h"
#include "OutlineChecks.h"
#include "QuadSearch.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace bitonix {

namespace {

constexpr int KHalveFrom = 800; // working copies this long are halved to find lines
constexpr int KMaxLines = 40;
constexpr std::size_t KCandidates = 12; // best outlines tried in turn
constexpr double KRefineReach = 2.5;    // coarse pixels either side of a side
constexpr double KFullFrameShare =
    0.005; // of the image size: corners this close make the full frame

cv::Point2d Centre(const TCorners& c) {
    return (c[0] + c[1] + c[2] + c[3]) * 0.25;
}

// Sides through the corners, with border sides put exactly on the image
// frame [0, w-1] x [0, h-1], and the corners where they meet.
TCorners SnapBorders(const TCorners& corners, const std::array<TLine, 4>& original, cv::Size full) {
    const cv::Point2d centre = Centre(corners);
    const double right = full.width - 1.0;
    const double bottom = full.height - 1.0;
    std::array<TLine, 4> sides;
    for (std::size_t k = 0; k < 4; ++k) {
        sides[k] = LineThrough(corners[k], corners[(k + 1) % 4], centre);
        if (!original[k].Border) {
            continue;
        }
        // The image edge this border side runs along, by its normal.
        const cv::Point2d n = original[k].Normal;
        if (std::abs(n.x) > std::abs(n.y)) {
            sides[k] = n.x > 0 ? LineThrough({0, 0}, {0, bottom}, centre, true)
                               : LineThrough({right, 0}, {right, bottom}, centre, true);
        } else {
            sides[k] = n.y > 0 ? LineThrough({0, 0}, {right, 0}, centre, true)
                               : LineThrough({0, bottom}, {right, bottom}, centre, true);
        }
    }
    TCorners snapped;
    for (std::size_t k = 0; k < 4; ++k) {
        const std::optional<cv::Point2d> c = Intersect(sides[(k + 3) % 4], sides[k], 0.2);
        if (!c) {
            return corners;
        }
        snapped[k] = *c;
    }
    return snapped;
}

bool FillsFrame(const TCorners& ordered, cv::Size full) {
    const double right = full.width - 1.0;
    const double bottom = full.height - 1.0;
    const cv::Point2d frame[4] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
    for (std::size_t k = 0; k < 4; ++k) {
        if (std::abs(ordered[k].x - frame[k].x) > KFullFrameShare * full.width ||
            std::abs(ordered[k].y - frame[k].y) > KFullFrameShare * full.height) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<TCorners> DetectDocument(const char* utf8Path) {
    const std::optional<TWorkImage> work = LoadWorkImage(utf8Path);
    if (!work) {
        return std::nullopt;
    }
    const cv::Mat& fine = work->Colour;

    cv::Mat coarse = fine;
    TScaleMap coarseToFine;
    if (std::max(fine.cols, fine.rows) >= KHalveFrom) {
        // Pixel u of the halved copy is centred on pixel 2u of the original.
        cv::pyrDown(fine, coarse);
        coarseToFine.Scale = cv::Point2d(2, 2);
    }
    const cv::Vec3f gains = WhiteBalanceGains(coarse);
    const TEdgeMaps coarseMaps = MakeEdgeMaps(coarse, gains, /*closeText=*/true);
    const std::vector<TLine> lines = FindLines(coarseMaps, KMaxLines);
    std::optional<TQuadCandidate> best;
    for (const TQuadCandidate& candidate : RankQuads(coarseMaps, lines, KCandidates)) {
        if (IsCredible(coarseMaps, candidate)) {
            best = candidate;
            break;
        }
    }
    if (!best) {
        return std::nullopt;
    }

    TCorners fineCorners;
    for (std::size_t k = 0; k < 4; ++k) {
        fineCorners[k] = coarseToFine.ToOriginal(best->Corners[k]);
    }
    std::array<TLine, 4> fineSides;
    const cv::Point2d centre = Centre(fineCorners);
    for (std::size_t k = 0; k < 4; ++k) {
        fineSides[k] = LineThrough(fineCorners[k], fineCorners[(k + 1) % 4], centre,
                                   best->Sides[k].Border, best->Sides[k].Reversed);
    }
    const TCorners refined = RefineCorners(fine, gains, fineSides, fineCorners,
                                           KRefineReach * std::max(coarseToFine.Scale.x, 1.0));

    TCorners full;
    for (std::size_t k = 0; k < 4; ++k) {
        full[k] = work->ToFull.ToOriginal(refined[k]);
    }
    const TCorners ordered = ImageOrder(SnapBorders(full, best->Sides, work->Full));
    if (FillsFrame(ordered, work->Full)) {
        return std::nullopt;
    }
    return ordered;
}

} // namespace bitonix
