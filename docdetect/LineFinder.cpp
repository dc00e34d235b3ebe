// Oriented Hough transform: one-degree bins of the normal's direction over
// the full circle, one-pixel bins of the offset.
#include "LineFinder.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace bitonix {

namespace {

constexpr int KAngles = 360;
constexpr int KSpread = 2;       // degrees either way a strong edge pixel votes for
constexpr int KMaxSpread = 12;   //   and a weak one at most
constexpr int KRefitSpread = 12; // degrees either way of a pixel that supports a line
constexpr double KDegreesPerRadian = 180.0 / CV_PI;
constexpr int KPeakAngle = 3;    // suppression window of a peak, degrees
constexpr int KPeakOffset = 3;   //   and pixels
constexpr double KMinEdge = 0.6; // smallest gradient that counts, grey levels per pixel
constexpr double KNoiseFactor = 2.0;
constexpr double KSameAngleDeg = 2.0; // refitted lines this close are one line
constexpr double KSameOffset = 2.0;

struct TEdgePixel {
    float X, Y;
    float Angle;  // degrees, [0, 360)
    float Weight; // 0..1
    int Spread;   // degrees either way it votes for
};

std::vector<TEdgePixel> EdgePixels(const TEdgeMaps& maps) {
    const double threshold = std::max(KMinEdge, KNoiseFactor * maps.Noise);
    const float saturation = static_cast<float>(4.0 * threshold);
    std::vector<TEdgePixel> pixels;
    const int w = maps.Gx.cols;
    const int h = maps.Gx.rows;
    for (int y = 1; y + 1 < h; ++y) {
        const float* gx = maps.Gx.ptr<float>(y);
        const float* gy = maps.Gy.ptr<float>(y);
        for (int x = 1; x + 1 < w; ++x) {
            const float m = std::hypot(gx[x], gy[x]);
            if (static_cast<double>(m) < threshold) {
                continue;
            }
            // Non-maximum suppression along the gradient, to the nearest neighbour.
            const int dx = cvRound(gx[x] / m);
            const int dy = cvRound(gy[x] / m);
            const float before =
                std::hypot(maps.Gx.at<float>(y - dy, x - dx), maps.Gy.at<float>(y - dy, x - dx));
            const float after =
                std::hypot(maps.Gx.at<float>(y + dy, x + dx), maps.Gy.at<float>(y + dy, x + dx));
            if (m < before || m < after) {
                continue;
            }
            float angle =
                static_cast<float>(std::atan2(gy[x], gx[x]) * (180.0f / static_cast<float>(CV_PI)));
            if (angle < 0) {
                angle += 360.0f;
            }
            // A weak edge's direction is uncertain by about noise / magnitude
            // radians: it votes over that range, so that a faint but long edge
            // still gathers its votes in one cell.
            const int spread = std::clamp(
                static_cast<int>(KDegreesPerRadian * maps.Noise / static_cast<double>(m)), KSpread,
                KMaxSpread);
            pixels.push_back({static_cast<float>(x), static_cast<float>(y), angle,
                              std::min(1.0f, m / saturation), spread});
        }
    }
    return pixels;
}

// Edge pixels grouped by their gradient direction in whole degrees.
using TByAngle = std::vector<std::vector<TEdgePixel>>;

// Least-squares line through the pixels that support (angle, offset).
TLine Refit(const TByAngle& byAngle, int angleDeg, double offset) {
    const cv::Point2d normal(std::cos(angleDeg * CV_PI / 180), std::sin(angleDeg * CV_PI / 180));
    std::vector<cv::Point2f> support;
    for (int d = -KRefitSpread; d <= KRefitSpread; ++d) {
        for (const TEdgePixel& p :
             byAngle[static_cast<std::size_t>((angleDeg + d + KAngles) % KAngles)]) {
            const double distance =
                normal.x * static_cast<double>(p.X) + normal.y * static_cast<double>(p.Y) - offset;
            if (std::abs(distance) <= 2.0) {
                support.emplace_back(p.X, p.Y);
            }
        }
    }
    TLine line;
    line.Normal = normal;
    line.Offset = offset;
    if (support.size() < 8) {
        return line;
    }
    cv::Vec4f fit;
    cv::fitLine(support, fit, cv::DIST_L2, 0, 0.01, 0.01);
    cv::Point2d fitted(-fit[1], fit[0]);
    if (fitted.dot(normal) < 0) {
        fitted = -fitted;
    }
    // Keep the fit only if it stays close to the peak it came from.
    if (fitted.dot(normal) < std::cos(4.0 * CV_PI / 180)) {
        return line;
    }
    line.Normal = fitted;
    line.Offset = fitted.dot(cv::Point2d(fit[2], fit[3]));
    return line;
}

} // namespace

std::vector<TLine> FindLines(const TEdgeMaps& maps, int maxLines) {
    const std::vector<TEdgePixel> pixels = EdgePixels(maps);
    TByAngle byAngle(KAngles);
    for (const TEdgePixel& p : pixels) {
        byAngle[static_cast<std::size_t>(cvRound(p.Angle) % KAngles)].push_back(p);
    }
    const int w = maps.Gx.cols;
    const int h = maps.Gx.rows;
    const int reach = static_cast<int>(std::ceil(std::hypot(w, h))) + 1;
    const int offsets = 2 * reach + 1;
    cv::Mat votes(KAngles, offsets, CV_32F, cv::Scalar(0));
    float cosine[KAngles];
    float sine[KAngles];
    for (int a = 0; a < KAngles; ++a) {
        cosine[a] = static_cast<float>(std::cos(a * CV_PI / 180));
        sine[a] = static_cast<float>(std::sin(a * CV_PI / 180));
    }
    for (const TEdgePixel& p : pixels) {
        const int centre = cvRound(p.Angle);
        for (int d = -p.Spread; d <= p.Spread; ++d) {
            const int a = (centre + d + KAngles) % KAngles;
            const int r = cvRound(p.X * cosine[a] + p.Y * sine[a]) + reach;
            votes.at<float>(a, r) += p.Weight;
        }
    }
    // Smooth along the offset so that a slightly bent edge still forms one peak.
    cv::Mat smooth;
    const cv::Mat kernel = (cv::Mat_<float>(1, 3) << 0.25f, 0.5f, 0.25f);
    cv::filter2D(votes, smooth, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_CONSTANT);

    const float minVotes = static_cast<float>(0.04 * std::min(w, h));
    struct TPeak {
        float Votes;
        int Angle, Offset;
    };
    std::vector<TPeak> peaks;
    for (int a = 0; a < KAngles; ++a) {
        const float* row = smooth.ptr<float>(a);
        for (int r = 0; r < offsets; ++r) {
            const float v = row[r];
            if (v < minVotes) {
                continue;
            }
            bool best = true;
            for (int da = -KPeakAngle; da <= KPeakAngle && best; ++da) {
                const float* other = smooth.ptr<float>((a + da + KAngles) % KAngles);
                for (int dr = -KPeakOffset; dr <= KPeakOffset; ++dr) {
                    const int rr = r + dr;
                    if (rr < 0 || rr >= offsets || (da == 0 && dr == 0)) {
                        continue;
                    }
                    // Ties go to the first cell in scan order.
                    if (other[rr] > v || (other[rr] == v && (da < 0 || (da == 0 && dr < 0)))) {
                        best = false;
                        break;
                    }
                }
            }
            if (best) {
                peaks.push_back({v, a, r - reach});
            }
        }
    }
    std::sort(peaks.begin(), peaks.end(),
              [](const TPeak& x, const TPeak& y) { return x.Votes > y.Votes; });
    std::vector<TLine> lines;
    for (const TPeak& peak : peaks) {
        if (lines.size() == static_cast<std::size_t>(maxLines)) {
            break;
        }
        const TLine line = Refit(byAngle, peak.Angle, peak.Offset);
        // Two peaks of one edge become the same line once refitted.
        const bool known = std::any_of(lines.begin(), lines.end(), [&](const TLine& other) {
            return other.Normal.dot(line.Normal) > std::cos(KSameAngleDeg * CV_PI / 180) &&
                   std::abs(other.Offset - line.Offset) < KSameOffset;
        });
        if (!known) {
            lines.push_back(line);
        }
    }
    return lines;
}

} // namespace bitonix
