// Pinhole projection of a flat sheet and its placement in the frame.
#include "PagePlacement.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bitonix {

namespace {

constexpr double KDegree = 3.14159265358979323846 / 180.0;

// Corners of the sheet as the camera sees it, centred on the optical axis.
TQuad Project(const TPagePose& pose, double focal, double distance) {
    const cv::Matx33d rz(std::cos(pose.RollDeg * KDegree), -std::sin(pose.RollDeg * KDegree), 0,
                         std::sin(pose.RollDeg * KDegree), std::cos(pose.RollDeg * KDegree), 0, 0,
                         0, 1);
    const cv::Matx33d rx(1, 0, 0, 0, std::cos(pose.PitchDeg * KDegree),
                         -std::sin(pose.PitchDeg * KDegree), 0, std::sin(pose.PitchDeg * KDegree),
                         std::cos(pose.PitchDeg * KDegree));
    const cv::Matx33d ry(std::cos(pose.YawDeg * KDegree), 0, std::sin(pose.YawDeg * KDegree), 0, 1,
                         0, -std::sin(pose.YawDeg * KDegree), 0, std::cos(pose.YawDeg * KDegree));
    const cv::Matx33d rotation = ry * rx * rz;
    const double w = pose.PageMm.width / 2;
    const double h = pose.PageMm.height / 2;
    const cv::Vec3d sheet[4] = {{-w, -h, 0}, {w, -h, 0}, {w, h, 0}, {-w, h, 0}};
    TQuad quad;
    for (int i = 0; i < 4; ++i) {
        const cv::Vec3d p = rotation * sheet[i];
        const double z = p[2] + distance;
        quad[static_cast<std::size_t>(i)] =
            cv::Point2f(static_cast<float>(focal * p[0] / z), static_cast<float>(focal * p[1] / z));
    }
    return quad;
}

std::vector<cv::Point2f> Clockwise(const TQuad& quad) {
    std::vector<cv::Point2f> points(quad.begin(), quad.end());
    double twice = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2f& a = points[i];
        const cv::Point2f& b = points[(i + 1) % 4];
        twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    if (twice < 0) {
        std::reverse(points.begin(), points.end());
    }
    return points;
}

// Fraction of the side from a to b that lies inside the frame.
double VisibleSide(cv::Point2f a, cv::Point2f b, cv::Size frame) {
    int inside = 0;
    constexpr int KSteps = 64;
    for (int i = 0; i < KSteps; ++i) {
        const cv::Point2f p = a + (b - a) * ((i + 0.5f) / KSteps);
        if (p.x >= 0 && p.y >= 0 && p.x <= frame.width - 1.0f && p.y <= frame.height - 1.0f) {
            ++inside;
        }
    }
    return static_cast<double>(inside) / KSteps;
}

TQuad Shifted(const TQuad& quad, cv::Point2f by) {
    TQuad out = quad;
    for (auto& p : out) {
        p += by;
    }
    return out;
}

} // namespace

double QuadArea(const TQuad& quad) {
    double twice = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2f& a = quad[i];
        const cv::Point2f& b = quad[(i + 1) % 4];
        twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return std::abs(twice) / 2;
}

double VisibleArea(const TQuad& quad, cv::Size frame) {
    const float right = static_cast<float>(frame.width - 1);
    const float bottom = static_cast<float>(frame.height - 1);
    const TQuad box = {cv::Point2f(0, 0), cv::Point2f(right, 0), cv::Point2f(right, bottom),
                       cv::Point2f(0, bottom)};
    std::vector<cv::Point2f> common;
    return cv::intersectConvexConvex(Clockwise(quad), Clockwise(box), common, true);
}

TQuad ImageOrder(const TQuad& quad) {
    const std::vector<cv::Point2f> clockwise = Clockwise(quad);
    std::size_t first = 0;
    for (std::size_t i = 1; i < 4; ++i) {
        if (clockwise[i].x + clockwise[i].y < clockwise[first].x + clockwise[first].y) {
            first = i;
        }
    }
    TQuad out;
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = clockwise[(first + i) % 4];
    }
    return out;
}

std::optional<TQuad> PlacePage(TRandom& rnd, cv::Size frame, const TPagePose& pose,
                               const TPlacement& placement) {
    const double focal = 0.78 * std::max(frame.width, frame.height);
    const double frameArea = static_cast<double>(frame.width) * frame.height;
    double distance = 1000;
    TQuad quad = Project(pose, focal, distance);
    for (int i = 0; i < 3; ++i) {
        distance *= std::sqrt(QuadArea(quad) / (placement.AreaFraction * frameArea));
        quad = Project(pose, focal, distance);
    }
    float minX = quad[0].x, maxX = quad[0].x, minY = quad[0].y, maxY = quad[0].y;
    for (const auto& p : quad) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const cv::Rect2f box(minX, minY, maxX - minX, maxY - minY);
    const float margin =
        static_cast<float>(placement.MarginFraction * std::min(frame.width, frame.height));
    for (int attempt = 0; attempt < 400; ++attempt) {
        if (!placement.CutOff) {
            const float lowX = margin - box.x;
            const float highX = static_cast<float>(frame.width - 1) - margin - (box.x + box.width);
            const float lowY = margin - box.y;
            const float highY =
                static_cast<float>(frame.height - 1) - margin - (box.y + box.height);
            if (lowX > highX || lowY > highY) {
                return std::nullopt;
            }
            return Shifted(quad, cv::Point2f(static_cast<float>(rnd.Uniform(lowX, highX)),
                                             static_cast<float>(rnd.Uniform(lowY, highY))));
        }
        const float x = static_cast<float>(
            rnd.Uniform(-box.x - 0.5 * box.width, frame.width - box.x - 0.5 * box.width));
        const float y = static_cast<float>(
            rnd.Uniform(-box.y - 0.5 * box.height, frame.height - box.y - 0.5 * box.height));
        const TQuad candidate = Shifted(quad, cv::Point2f(x, y));
        const double visible = VisibleArea(candidate, frame) / QuadArea(candidate);
        if (visible < 0.6 || visible > 0.9) {
            continue;
        }
        int sides = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            if (VisibleSide(candidate[k], candidate[(k + 1) % 4], frame) >= 0.15) {
                ++sides;
            }
        }
        if (sides >= 3) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace bitonix
