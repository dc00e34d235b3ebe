// Sampling the edge maps along a line into prefix sums.
#include "LineEvidence.h"

#include <algorithm>
#include <cmath>

namespace bitonix {

namespace {

constexpr double KContrastReach = 3.0; // pixels either side for the step across an edge
constexpr double KMinEdge = 0.5;
constexpr double KNoiseFactor = 1.5;

// The stretch of the line inside [0, w-1] x [0, h-1], by clipping its
// parameter range (Liang-Barsky).
bool VisibleRange(const TLine& line, cv::Size size, double& from, double& to) {
    const cv::Point2d base = line.Normal * line.Offset;
    const cv::Point2d dir = line.Direction();
    from = -1e9;
    to = 1e9;
    const double lows[2] = {0, 0};
    const double highs[2] = {size.width - 1.0, size.height - 1.0};
    const double origin[2] = {base.x, base.y};
    const double step[2] = {dir.x, dir.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (std::abs(step[axis]) < 1e-12) {
            if (origin[axis] < lows[axis] - 1e-9 || origin[axis] > highs[axis] + 1e-9) {
                return false;
            }
            continue;
        }
        double a = (lows[axis] - origin[axis]) / step[axis];
        double b = (highs[axis] - origin[axis]) / step[axis];
        if (a > b) {
            std::swap(a, b);
        }
        from = std::max(from, a);
        to = std::min(to, b);
    }
    return to > from;
}

double Prefix(const std::vector<double>& sums, double at) {
    const double clamped = std::clamp(at, 0.0, static_cast<double>(sums.size() - 1));
    const auto i = static_cast<std::size_t>(clamped);
    if (i + 1 >= sums.size()) {
        return sums.back();
    }
    const double f = clamped - static_cast<double>(i);
    return sums[i] * (1 - f) + sums[i + 1] * f;
}

} // namespace

TLineEvidence GatherEvidence(const TEdgeMaps& maps, const TLine& line) {
    const double threshold = std::max(KMinEdge, KNoiseFactor * maps.Noise);
    TLineEvidence e;
    e.Line = line;
    if (!VisibleRange(line, maps.Paper.size(), e.From, e.To)) {
        e.To = e.From = 0;
    }
    const int steps = static_cast<int>(std::floor(e.To - e.From));
    e.Backed.assign(static_cast<std::size_t>(std::max(0, steps)) + 1, 0.0);
    e.Contrast.assign(e.Backed.size(), 0.0);
    e.Step.assign(e.Backed.size(), 0.0);
    if (line.Border) {
        return e;
    }
    const cv::Point2d base = line.Normal * line.Offset;
    const cv::Point2d dir = line.Direction();
    const cv::Point2d n = line.Normal;
    const double sense = line.Sense();
    for (int i = 0; i < steps; ++i) {
        const cv::Point2d p = base + dir * (e.From + i + 0.5);
        double best = -1;
        for (int o = -1; o <= 1; ++o) {
            const cv::Point2d q = p + n * static_cast<double>(o);
            const double gx = Sample(maps.Gx, q);
            const double gy = Sample(maps.Gy, q);
            const double along = sense * (gx * n.x + gy * n.y);
            const double across = std::abs(gx * dir.x + gy * dir.y);
            if (along >= across) {
                best = std::max(best, along);
            }
        }
        const bool backed = best >= threshold;
        const double step = sense * StepAcross(maps, p, n, KContrastReach);
        const auto at = static_cast<std::size_t>(i);
        e.Backed[at + 1] = e.Backed[at] + (backed ? 1.0 : 0.0);
        e.Contrast[at + 1] = e.Contrast[at] + (backed ? step : 0.0);
        e.Step[at + 1] = e.Step[at] + step;
    }
    return e;
}

double Between(const std::vector<double>& sums, const TLineEvidence& e, double lo, double hi) {
    return Prefix(sums, hi - e.From) - Prefix(sums, lo - e.From);
}

} // namespace bitonix
