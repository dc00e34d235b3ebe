// Corner roles by position in the image.
#include "CornerOrder.h"

#include <algorithm>

namespace bitonix {

TCorners ImageOrder(const TCorners& corners) {
    TCorners clockwise = corners;
    double twice = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2d& a = corners[i];
        const cv::Point2d& b = corners[(i + 1) % 4];
        twice += a.x * b.y - b.x * a.y;
    }
    if (twice < 0) {
        std::reverse(clockwise.begin(), clockwise.end());
    }
    std::size_t first = 0;
    for (std::size_t i = 1; i < 4; ++i) {
        if (clockwise[i].x + clockwise[i].y < clockwise[first].x + clockwise[first].y) {
            first = i;
        }
    }
    TCorners ordered;
    for (std::size_t i = 0; i < 4; ++i) {
        ordered[i] = clockwise[(first + i) % 4];
    }
    return ordered;
}

} // namespace bitonix
