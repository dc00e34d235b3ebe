// Edge search in strips resampled along each side, and robust line fitting.
#include "CornerRefiner.h"

#include "EdgeMaps.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace bitonix {

namespace {

constexpr double KEndTrim = 0.06; // share of a side left out at each corner
constexpr int KColumnStep = 2;    // strip columns between edge points
constexpr int KStripMargin = 4;   // rows beyond the reach, for smoothing
constexpr double KMaxTurnDeg = 3.0;
constexpr double KMinInlierShare = 0.3;
constexpr std::size_t KMinInliers = 8;
constexpr double KMinEdge = 1.0;
constexpr double KNoiseFactor = 1.5;

// Edge points across the side from a to b (image pixels), found in a strip
// whose row direction is the side's inward normal.
std::vector<cv::Point2f> EdgePoints(const cv::Mat& fine, const cv::Vec3f& gains, const TLine& side,
                                    cv::Point2d a, cv::Point2d b, double reach,
                                    std::size_t& columns) {
    columns = 0;
    const cv::Point2d start = a + (b - a) * KEndTrim;
    const cv::Point2d end = b - (b - a) * KEndTrim;
    const int width = static_cast<int>(cv::norm(end - start));
    const int half = static_cast<int>(std::ceil(reach)) + KStripMargin;
    const int height = 2 * half + 1;
    if (width < 4) {
        return {};
    }
    const cv::Point2d t = (end - start) / cv::norm(end - start);
    const cv::Point2d n = side.Normal;
    // Strip pixel (u, v) shows image point start + u t + (v - half) n.
    const cv::Matx23d stripToImage(t.x, n.x, start.x - half * n.x, t.y, n.y, start.y - half * n.y);
    cv::Mat strip;
    cv::warpAffine(fine, strip, stripToImage, cv::Size(width, height),
                   cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
    const TEdgeMaps maps = MakeEdgeMaps(strip, gains, /*closeText=*/false);
    const double threshold = std::max(KMinEdge, KNoiseFactor * maps.Noise);
    const int lowest = half - static_cast<int>(std::floor(reach));
    const int highest = half + static_cast<int>(std::floor(reach));

    std::vector<cv::Point2f> points;
    for (int u = 0; u < width; u += KColumnStep) {
        const cv::Point2d middle = start + t * static_cast<double>(u);
        const cv::Point2d inner = middle + n * reach;
        const cv::Point2d outer = middle - n * reach;
        const auto inside = [&](cv::Point2d p) {
            return p.x >= 1 && p.y >= 1 && p.x <= fine.cols - 2 && p.y <= fine.rows - 2;
        };
        if (!inside(inner) || !inside(outer)) {
            continue;
        }
        ++columns;
        const double sense = side.Sense();
        double best = threshold;
        int bestRow = -1;
        for (int v = lowest; v <= highest; ++v) {
            const double value = sense * static_cast<double>(maps.Gy.at<float>(v, u));
            const double before = sense * static_cast<double>(maps.Gy.at<float>(v - 1, u));
            const double after = sense * static_cast<double>(maps.Gy.at<float>(v + 1, u));
            if (value > best && value >= before && value >= after) {
                best = value;
                bestRow = v;
            }
        }
        if (bestRow < 0) {
            continue;
        }
        const double above = sense * static_cast<double>(maps.Gy.at<float>(bestRow - 1, u));
        const double below = sense * static_cast<double>(maps.Gy.at<float>(bestRow + 1, u));
        const double curvature = above - 2 * best + below;
        const double shift =
            curvature < 0 ? std::clamp(0.5 * (above - below) / curvature, -0.5, 0.5) : 0.0;
        const cv::Point2d edge = middle + n * (bestRow + shift - half);
        points.emplace_back(static_cast<float>(edge.x), static_cast<float>(edge.y));
    }
    return points;
}

// Total least squares line with outliers dropped in three rounds.
std::optional<TLine> RobustFit(std::vector<cv::Point2f> points, const TLine& original) {
    for (int round = 0; round < 3; ++round) {
        if (points.size() < KMinInliers) {
            return std::nullopt;
        }
        cv::Vec4f fit;
        cv::fitLine(points, fit, cv::DIST_L2, 0, 0.01, 0.01);
        TLine line;
        line.Reversed = original.Reversed;
        line.Normal = cv::Point2d(-static_cast<double>(fit[1]), static_cast<double>(fit[0]));
        if (line.Normal.dot(original.Normal) < 0) {
            line.Normal = -line.Normal;
        }
        line.Offset =
            line.Normal.dot(cv::Point2d(static_cast<double>(fit[2]), static_cast<double>(fit[3])));
        std::vector<double> residuals;
        for (const auto& p : points) {
            residuals.push_back(std::abs(line.Distance(p)));
        }
        std::vector<double> sorted = residuals;
        std::nth_element(sorted.begin(),
                         sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2),
                         sorted.end());
        const double limit = std::max(0.75, 3.0 * sorted[sorted.size() / 2]);
        std::vector<cv::Point2f> kept;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (residuals[i] <= limit) {
                kept.push_back(points[i]);
            }
        }
        if (round == 2 || kept.size() == points.size()) {
            return kept.size() >= KMinInliers ? std::optional<TLine>(line) : std::nullopt;
        }
        points = kept;
    }
    return std::nullopt;
}

} // namespace

TCorners RefineCorners(const cv::Mat& fine, const cv::Vec3f& gains,
                       const std::array<TLine, 4>& sides, const TCorners& corners, double reach) {
    std::array<TLine, 4> moved = sides;
    for (std::size_t k = 0; k < 4; ++k) {
        if (sides[k].Border) {
            continue;
        }
        const cv::Point2d a = corners[k];
        const cv::Point2d b = corners[(k + 1) % 4];
        std::size_t columns = 0;
        const std::vector<cv::Point2f> points =
            EdgePoints(fine, gains, sides[k], a, b, reach, columns);
        if (static_cast<double>(points.size()) < KMinInlierShare * static_cast<double>(columns)) {
            continue;
        }
        const std::optional<TLine> fitted = RobustFit(points, sides[k]);
        if (!fitted || fitted->Normal.dot(sides[k].Normal) < std::cos(KMaxTurnDeg * CV_PI / 180) ||
            std::abs(fitted->Distance((a + b) * 0.5)) > reach) {
            continue;
        }
        moved[k] = *fitted;
    }
    TCorners refined;
    for (std::size_t k = 0; k < 4; ++k) {
        const std::optional<cv::Point2d> corner = Intersect(moved[(k + 3) % 4], moved[k], 0.2);
        if (!corner) {
            return corners;
        }
        refined[k] = *corner;
    }
    return refined;
}

} // namespace bitonix
