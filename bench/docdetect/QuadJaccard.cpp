// Clipped Jaccard index of two convex quadrilaterals.
#include "QuadJaccard.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <vector>

namespace bitonix {

namespace {

double Cross(cv::Point2f o, cv::Point2f a, cv::Point2f b) {
    return static_cast<double>(a.x - o.x) * (b.y - o.y) -
           static_cast<double>(a.y - o.y) * (b.x - o.x);
}

// The quadrilateral in clockwise order, or empty when it is not convex.
std::vector<cv::Point2f> ConvexClockwise(const TQuad& quad) {
    std::vector<cv::Point2f> points(quad.begin(), quad.end());
    int positive = 0;
    int negative = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const double turn = Cross(points[i], points[(i + 1) % 4], points[(i + 2) % 4]);
        positive += turn > 0;
        negative += turn < 0;
    }
    if (positive > 0 && negative > 0) {
        return {};
    }
    if (negative > 0) {
        std::reverse(points.begin(), points.end());
    }
    return points;
}

} // namespace

bool IsClockwiseConvex(const TQuad& quad) {
    for (std::size_t i = 0; i < 4; ++i) {
        if (Cross(quad[i], quad[(i + 1) % 4], quad[(i + 2) % 4]) <= 0) {
            return false;
        }
    }
    return true;
}

double ClippedJaccard(const TQuad& truth, const TQuad& found, cv::Size frame) {
    const std::vector<cv::Point2f> a = ConvexClockwise(truth);
    const std::vector<cv::Point2f> b = ConvexClockwise(found);
    if (a.empty() || b.empty()) {
        return 0.0;
    }
    const float right = static_cast<float>(frame.width - 1);
    const float bottom = static_cast<float>(frame.height - 1);
    const std::vector<cv::Point2f> box = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
    std::vector<cv::Point2f> clippedA;
    std::vector<cv::Point2f> clippedB;
    const double areaA = cv::intersectConvexConvex(a, box, clippedA, true);
    const double areaB = cv::intersectConvexConvex(b, box, clippedB, true);
    if (clippedA.size() < 3 || clippedB.size() < 3) {
        return 0.0;
    }
    std::vector<cv::Point2f> common;
    const double both = std::max(
        0.0, static_cast<double>(cv::intersectConvexConvex(clippedA, clippedB, common, true)));
    const double either = areaA + areaB - both;
    return either > 0 ? both / either : 0.0;
}

} // namespace bitonix
