// Light and camera effects on 8-bit BGR frames. Light is applied as a gain
// field computed at low resolution and stretched, which is smooth anyway.
#include "PhotoEffects.h"

#include "Backgrounds.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bitonix {

void ApplyGain(cv::Mat& frame, const cv::Mat& gain) {
    cv::Mat full;
    if (gain.size() == frame.size()) {
        full = gain;
    } else {
        cv::resize(gain, full, frame.size(), 0, 0, cv::INTER_LINEAR);
    }
    for (int y = 0; y < frame.rows; ++y) {
        const float* g = full.ptr<float>(y);
        std::uint8_t* p = frame.ptr<std::uint8_t>(y);
        for (int x = 0; x < frame.cols; ++x) {
            for (int c = 0; c < 3; ++c) {
                std::uint8_t& v = p[3 * x + c];
                v = cv::saturate_cast<std::uint8_t>(v * g[x]);
            }
        }
    }
}

cv::Mat LightField(TRandom& rnd, cv::Size size, double gradient, double vignette) {
    const double angle = rnd.Uniform(0, 6.2831853);
    const double gx = std::cos(angle) * gradient;
    const double gy = std::sin(angle) * gradient;
    const double cx = rnd.Uniform(0.3, 0.7) * size.width;
    const double cy = rnd.Uniform(0.3, 0.7) * size.height;
    const double radius = std::hypot(size.width, size.height) / 2;
    const cv::Mat blotches = SmoothField(rnd, size, size.width / 3.0);
    const double blotch = rnd.Uniform(0.0, 0.06);
    cv::Mat field(size, CV_32F);
    for (int y = 0; y < size.height; ++y) {
        float* f = field.ptr<float>(y);
        const float* b = blotches.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) {
            const double u = (x - size.width / 2.0) / size.width;
            const double v = (y - size.height / 2.0) / size.height;
            const double r = std::hypot(x - cx, y - cy) / radius;
            f[x] = static_cast<float>((1.0 + gx * u + gy * v) * (1.0 - vignette * r * r) *
                                      (1.0 + blotch * b[x]));
        }
    }
    double peak = 0;
    cv::minMaxLoc(field, nullptr, &peak);
    return field * (rnd.Uniform(0.97, 1.06) / std::max(1e-6, peak));
}

cv::Mat CastShadow(TRandom& rnd, cv::Size size, double depth, double softness) {
    // A fan of points from a border point into the frame: the shadow of a
    // hand, a phone or a head.
    const float w = static_cast<float>(size.width);
    const float h = static_cast<float>(size.height);
    const int border = rnd.Int(0, 3);
    const float t = static_cast<float>(rnd.Uniform(0.1, 0.9));
    const cv::Point2f origin = border == 0   ? cv::Point2f(t * w, -0.05f * h)
                               : border == 1 ? cv::Point2f(1.05f * w, t * h)
                               : border == 2 ? cv::Point2f(t * w, 1.05f * h)
                                             : cv::Point2f(-0.05f * w, t * h);
    const cv::Point2f inward = cv::Point2f(w / 2, h / 2) - origin;
    const float reach = static_cast<float>(rnd.Uniform(0.35, 0.9));
    const float spread = static_cast<float>(rnd.Uniform(0.2, 0.6));
    const cv::Point2f across(-inward.y, inward.x);
    std::vector<cv::Point> polygon;
    const int points = rnd.Int(4, 7);
    for (int i = 0; i <= points; ++i) {
        const float s = static_cast<float>(i) / points - 0.5f;
        const float depthHere =
            reach * static_cast<float>(1.0 - 0.6 * std::abs(s) + rnd.Uniform(-0.1, 0.1));
        const cv::Point2f p = origin + inward * depthHere + across * (s * spread * 2);
        polygon.emplace_back(cvRound(p.x), cvRound(p.y));
    }
    polygon.emplace_back(cvRound(origin.x + across.x * spread),
                         cvRound(origin.y + across.y * spread));
    polygon.emplace_back(cvRound(origin.x - across.x * spread),
                         cvRound(origin.y - across.y * spread));
    std::vector<cv::Point> hull;
    cv::convexHull(polygon, hull);
    cv::Mat mask(size, CV_32F, cv::Scalar(0));
    cv::fillConvexPoly(mask, hull, cv::Scalar(1.0), cv::LINE_AA);
    if (softness > 0) {
        cv::GaussianBlur(mask, mask, cv::Size(0, 0), softness);
    }
    return 1.0 - depth * mask;
}

void Defocus(cv::Mat& frame, double sigma) {
    if (sigma > 0.05) {
        cv::GaussianBlur(frame, frame, cv::Size(0, 0), sigma);
    }
}

void MotionBlur(cv::Mat& frame, double length, double angleDeg) {
    const int size = std::max(3, static_cast<int>(std::ceil(length)) | 1);
    cv::Mat kernel(size, size, CV_32F, cv::Scalar(0));
    const double c = std::cos(angleDeg * 3.14159265 / 180.0);
    const double s = std::sin(angleDeg * 3.14159265 / 180.0);
    const double half = (size - 1) / 2.0;
    cv::line(kernel, cv::Point(cvRound(half - c * length / 2), cvRound(half - s * length / 2)),
             cv::Point(cvRound(half + c * length / 2), cvRound(half + s * length / 2)),
             cv::Scalar(1.0), 1, cv::LINE_AA);
    kernel /= cv::sum(kernel)[0];
    cv::filter2D(frame, frame, -1, kernel);
}

void Sharpen(cv::Mat& frame, double amount, double sigma) {
    if (amount <= 0) {
        return;
    }
    cv::Mat smooth;
    cv::GaussianBlur(frame, smooth, cv::Size(0, 0), sigma);
    cv::addWeighted(frame, 1.0 + amount, smooth, -amount, 0.0, frame);
}

void AddNoise(cv::Mat& frame, TRandom& rnd, double luma, double chroma) {
    cv::RNG cvrnd(rnd.Seed());
    cv::Mat shared(frame.size(), CV_16S);
    cvrnd.fill(shared, cv::RNG::NORMAL, 0.0, luma);
    cv::Mat own(frame.size(), CV_16SC3);
    cvrnd.fill(own, cv::RNG::NORMAL, 0.0, std::max(0.01, chroma));
    for (int y = 0; y < frame.rows; ++y) {
        const std::int16_t* l = shared.ptr<std::int16_t>(y);
        const std::int16_t* o = own.ptr<std::int16_t>(y);
        std::uint8_t* p = frame.ptr<std::uint8_t>(y);
        for (int x = 0; x < frame.cols; ++x) {
            for (int c = 0; c < 3; ++c) {
                p[3 * x + c] = cv::saturate_cast<std::uint8_t>(p[3 * x + c] + l[x] + o[3 * x + c]);
            }
        }
    }
}

} // namespace bitonix
