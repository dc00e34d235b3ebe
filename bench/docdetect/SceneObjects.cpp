// Sheets and objects drawn into an evaluation photo.
#include "SceneObjects.h"

#include "PhotoEffects.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bitonix {

namespace {

std::vector<cv::Point> Fixed(const std::vector<cv::Point2f>& points, int shift) {
    std::vector<cv::Point> out;
    for (const auto& p : points) {
        out.emplace_back(cvRound(p.x * (1 << shift)), cvRound(p.y * (1 << shift)));
    }
    return out;
}

cv::Point2f Unit(cv::Point2f v) {
    const float n = std::max(1e-6f, std::hypot(v.x, v.y));
    return v / n;
}

cv::Point2f Centre(const TQuad& quad) {
    return (quad[0] + quad[1] + quad[2] + quad[3]) * 0.25f;
}

// A point on side `side` of the sheet and the normal pointing off the sheet.
void SidePoint(TRandom& rnd, const TQuad& quad, int side, cv::Point2f& point, cv::Point2f& out) {
    const cv::Point2f a = quad[static_cast<std::size_t>(side)];
    const cv::Point2f b = quad[static_cast<std::size_t>((side + 1) % 4)];
    point = a + (b - a) * static_cast<float>(rnd.Uniform(0.2, 0.8));
    const cv::Point2f along = Unit(b - a);
    out = cv::Point2f(-along.y, along.x);
    if (out.dot(Centre(quad) - point) > 0) {
        out = -out;
    }
}

void Ellipse(cv::Mat& frame, cv::Point2f centre, cv::Size2f axes, double angleDeg,
             const cv::Scalar& colour) {
    constexpr int KShift = 4;
    cv::ellipse(frame, cv::Point(cvRound(centre.x * 16), cvRound(centre.y * 16)),
                cv::Size(cvRound(axes.width * 16), cvRound(axes.height * 16)), angleDeg, 0, 360,
                colour, cv::FILLED, cv::LINE_AA, KShift);
}

// Darkens a soft blob under an object lying on the desk.
void SoftShadow(cv::Mat& frame, const std::vector<cv::Point2f>& outline, double softness,
                double depth) {
    std::vector<cv::Point2f> hull;
    cv::convexHull(outline, hull);
    const cv::Rect area =
        (cv::boundingRect(hull) + cv::Size(cvRound(6 * softness), cvRound(6 * softness))) -
        cv::Point(cvRound(3 * softness), cvRound(3 * softness));
    const cv::Rect roi = area & cv::Rect(0, 0, frame.cols, frame.rows);
    if (roi.empty()) {
        return;
    }
    cv::Mat mask(roi.size(), CV_32F, cv::Scalar(0));
    std::vector<cv::Point2f> local;
    for (const auto& p : hull) {
        local.emplace_back(p.x - static_cast<float>(roi.x), p.y - static_cast<float>(roi.y));
    }
    cv::fillConvexPoly(mask, Fixed(local, 4), cv::Scalar(1.0), cv::LINE_AA, 4);
    cv::GaussianBlur(mask, mask, cv::Size(0, 0), std::max(0.5, softness));
    cv::Mat part = frame(roi);
    ApplyGain(part, 1.0 - depth * mask);
}

// The four corners of a band of half-width `half` around the segment a-b.
std::vector<cv::Point2f> Band(cv::Point2f a, cv::Point2f b, float half) {
    const cv::Point2f d = Unit(b - a);
    const cv::Point2f n(-d.y * half, d.x * half);
    return {a + n, b + n, b - n, a - n};
}

} // namespace

void PastePage(cv::Mat& frame, const cv::Mat& page, const TQuad& quad, double bend) {
    const float w = static_cast<float>(page.cols);
    const float h = static_cast<float>(page.rows);
    const cv::Point2f outline[4] = {
        {-0.5f, -0.5f}, {w - 0.5f, -0.5f}, {w - 0.5f, h - 0.5f}, {-0.5f, h - 0.5f}};
    const cv::Matx33d toPage(cv::getPerspectiveTransform(quad.data(), outline));
    const cv::Rect box = cv::boundingRect(std::vector<cv::Point2f>(quad.begin(), quad.end()));
    const double sag = bend * cv::norm(quad[0] - quad[3]);
    const cv::Rect roi =
        (box + cv::Size(4, 4) - cv::Point(2, 2) + cv::Size(0, 2 * cvCeil(std::abs(sag))) -
         cv::Point(0, cvCeil(std::abs(sag)))) &
        cv::Rect(0, 0, frame.cols, frame.rows);
    if (roi.empty()) {
        return;
    }
    // The sheet bows: points shift along the page's up direction by
    // sag * 4u(1-u) across its width, so top and bottom become shallow arcs
    // while the corners stay where they are.
    const cv::Point2d up = Unit(quad[0] - quad[3]);
    const auto toCanvas = [&](double x, double y) {
        const cv::Vec3d q = toPage * cv::Vec3d(x, y, 1.0);
        return cv::Point2d(q[0] / q[2], q[1] / q[2]);
    };
    cv::Mat mapX(roi.size(), CV_32F);
    cv::Mat mapY(roi.size(), CV_32F);
    for (int y = 0; y < roi.height; ++y) {
        float* mx = mapX.ptr<float>(y);
        float* my = mapY.ptr<float>(y);
        for (int x = 0; x < roi.width; ++x) {
            const double fx = x + roi.x;
            const double fy = y + roi.y;
            const double u = std::clamp(toCanvas(fx, fy).x / w, 0.0, 1.0);
            const double shift = sag * 4 * u * (1 - u);
            const cv::Point2d c = toCanvas(fx - up.x * shift, fy - up.y * shift);
            mx[x] = static_cast<float>(c.x);
            my[x] = static_cast<float>(c.y);
        }
    }
    cv::Mat warped;
    cv::remap(page, warped, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    cv::Mat alpha;
    cv::remap(cv::Mat(page.size(), CV_32F, cv::Scalar(1.0)), alpha, mapX, mapY, cv::INTER_LINEAR,
              cv::BORDER_CONSTANT, cv::Scalar(0));
    cv::Mat part = frame(roi);
    cv::blendLinear(warped, part, alpha, 1.0 - alpha, part);
}

void DropShadow(cv::Mat& frame, const TQuad& quad, double strength, double softness,
                cv::Point2f offset) {
    std::vector<cv::Point2f> outline;
    for (const auto& p : quad) {
        outline.push_back(p + offset);
    }
    SoftShadow(frame, outline, softness, strength);
}

void PenAcross(cv::Mat& frame, TRandom& rnd, const TQuad& quad, int side) {
    cv::Point2f point;
    cv::Point2f out;
    SidePoint(rnd, quad, side, point, out);
    const double longest = std::max(frame.cols, frame.rows);
    const double length = rnd.Uniform(0.15, 0.3) * longest;
    const double thickness = rnd.Uniform(0.006, 0.012) * longest;
    const double turn = rnd.Signed(0.0, 1.0);
    const cv::Point2f along = Unit(cv::Point2f(quad[static_cast<std::size_t>((side + 1) % 4)] -
                                               quad[static_cast<std::size_t>(side)]));
    const cv::Point2f direction =
        Unit(out * static_cast<float>(std::cos(turn)) + along * static_cast<float>(std::sin(turn)));
    const cv::Point2f centre =
        point + direction * static_cast<float>(rnd.Uniform(-0.3, 0.3) * length);
    const cv::Point2f a = centre - direction * static_cast<float>(length / 2);
    const cv::Point2f b = centre + direction * static_cast<float>(length / 2);
    const cv::Point2f drop(static_cast<float>(thickness * 0.4),
                           static_cast<float>(thickness * 0.6));
    SoftShadow(frame, Band(a + drop, b + drop, static_cast<float>(thickness / 2)), thickness * 0.5,
               0.35);
    static const cv::Scalar KBodies[] = {
        {90, 30, 20}, {25, 25, 25}, {30, 30, 170}, {40, 110, 30}, {180, 180, 180}};
    const cv::Scalar body = KBodies[rnd.Int(0, 4)];
    constexpr int KShift = 4;
    const auto fixed = [](cv::Point2f p) {
        return cv::Point(cvRound(p.x * 16), cvRound(p.y * 16));
    };
    cv::line(frame, fixed(a), fixed(b), body, cvRound(thickness), cv::LINE_AA, KShift);
    const cv::Point2f side2(-direction.y, direction.x);
    const cv::Point2f glint = side2 * static_cast<float>(thickness * 0.2);
    cv::line(frame, fixed(a + glint), fixed(b + glint), body * 0.6 + cv::Scalar(100, 100, 100),
             std::max(1, cvRound(thickness * 0.2)), cv::LINE_AA, KShift);
}

void ThumbOn(cv::Mat& frame, TRandom& rnd, const TQuad& quad, int side) {
    cv::Point2f point;
    cv::Point2f out;
    SidePoint(rnd, quad, side, point, out);
    const double longest = std::max(frame.cols, frame.rows);
    const float length = static_cast<float>(rnd.Uniform(0.05, 0.08) * longest);
    const float width = length * static_cast<float>(rnd.Uniform(0.5, 0.65));
    const cv::Point2f direction =
        Unit(out + cv::Point2f(static_cast<float>(rnd.Uniform(-0.4, 0.4)),
                               static_cast<float>(rnd.Uniform(-0.4, 0.4))));
    const cv::Point2f centre =
        point + direction * (length * static_cast<float>(rnd.Uniform(0.2, 0.6)));
    const double angle = std::atan2(direction.y, direction.x) * 180.0 / 3.14159265;
    const cv::Scalar skin(rnd.Uniform(105, 160), rnd.Uniform(135, 185), rnd.Uniform(185, 235));
    const cv::Point2f palm = centre + direction * (length * 1.6f);
    SoftShadow(frame, Band(centre - direction * length, palm + direction * length, width),
               width * 0.4, 0.4);
    Ellipse(frame, palm, cv::Size2f(length * 1.4f, length * 1.1f), angle, skin * 0.9);
    Ellipse(frame, centre, cv::Size2f(length, width), angle, skin);
    Ellipse(frame,
            centre - direction * (length * 0.1f) +
                cv::Point2f(-direction.y, direction.x) * (width * 0.2f),
            cv::Size2f(length * 0.7f, width * 0.45f), angle, skin * 1.08);
    Ellipse(frame, centre - direction * (length * 0.72f), cv::Size2f(length * 0.22f, width * 0.5f),
            angle, skin * 0.8 + cv::Scalar(50, 50, 60));
}

void DeskObject(cv::Mat& frame, TRandom& rnd, cv::Point2f at) {
    const double longest = std::max(frame.cols, frame.rows);
    const int kind = rnd.Int(0, 2);
    if (kind == 0) { // phone, screen off
        const cv::RotatedRect phone(
            at, cv::Size2f(static_cast<float>(0.07 * longest), static_cast<float>(0.14 * longest)),
            static_cast<float>(rnd.Uniform(0, 180)));
        cv::Point2f corners[4];
        phone.points(corners);
        const std::vector<cv::Point2f> outline(corners, corners + 4);
        SoftShadow(frame, outline, 0.01 * longest, 0.4);
        const double shade = rnd.Uniform(10, 45);
        cv::fillConvexPoly(frame, Fixed(outline, 4), cv::Scalar(shade, shade, shade + 5),
                           cv::LINE_AA, 4);
        cv::polylines(frame, Fixed(outline, 4), true, cv::Scalar(90, 90, 90), 3, cv::LINE_AA, 4);
    } else if (kind == 1) { // mug from above
        const float radius = static_cast<float>(rnd.Uniform(0.04, 0.06) * longest);
        SoftShadow(
            frame,
            {at - cv::Point2f(radius, radius), at + cv::Point2f(radius * 1.2f, radius * 1.2f)},
            radius * 0.3, 0.45);
        const cv::Scalar cup(rnd.Uniform(20, 200), rnd.Uniform(20, 200), rnd.Uniform(20, 200));
        const double handle = rnd.Uniform(0, 360);
        const cv::Point2f grip = at + cv::Point2f(static_cast<float>(std::cos(handle)),
                                                  static_cast<float>(std::sin(handle))) *
                                          (radius * 1.1f);
        Ellipse(frame, grip, cv::Size2f(radius * 0.35f, radius * 0.2f), handle * 180 / 3.14159,
                cup);
        Ellipse(frame, at, cv::Size2f(radius, radius), 0, cup);
        Ellipse(frame, at, cv::Size2f(radius * 0.82f, radius * 0.82f), 0,
                cv::Scalar(20, 40, 60) + cv::Scalar::all(rnd.Uniform(0, 20)));
    } else { // pen on the desk
        const double turn = rnd.Uniform(0, 3.14159);
        const cv::Point2f d(static_cast<float>(std::cos(turn)), static_cast<float>(std::sin(turn)));
        const float half = static_cast<float>(rnd.Uniform(0.07, 0.14) * longest);
        cv::line(frame, at - d * half, at + d * half, cv::Scalar(rnd.Uniform(10, 120), 30, 30),
                 std::max(2, cvRound(0.008 * longest)), cv::LINE_AA);
    }
}

void StickyNote(cv::Mat& frame, TRandom& rnd, cv::Point2f at) {
    const double longest = std::max(frame.cols, frame.rows);
    const float side = static_cast<float>(rnd.Uniform(0.05, 0.07) * longest);
    const cv::RotatedRect note(at, cv::Size2f(side, side), static_cast<float>(rnd.Uniform(0, 90)));
    cv::Point2f corners[4];
    note.points(corners);
    const std::vector<cv::Point2f> outline(corners, corners + 4);
    SoftShadow(frame, outline, 0.004 * longest, 0.25);
    cv::fillConvexPoly(
        frame, Fixed(outline, 4),
        cv::Scalar(rnd.Uniform(70, 120), rnd.Uniform(215, 240), rnd.Uniform(235, 252)), cv::LINE_AA,
        4);
}

} // namespace bitonix
