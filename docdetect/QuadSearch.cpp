// Quadrilateral search. The evidence along every candidate line is sampled
// once into prefix sums, so that any side (a stretch of a line between two
// corners) is scored in constant time and every combination can be tried.
#include "QuadSearch.h"

#include "LineEvidence.h"

#include <algorithm>
#include <cmath>

namespace bitonix {

namespace {

constexpr double KTurnMin = 45; // degrees between the normals of successive sides
constexpr double KTurnMax = 135;
constexpr double KMinCornerAngle = 35; // interior angles, degrees
constexpr double KMaxCornerAngle = 145;
constexpr double KCornerTrim = 0.04; // share of a side left out at each corner
constexpr double KMinAreaFraction = 0.04;
constexpr double KMinVisibleShare = 0.5; // of the quadrilateral inside the image
constexpr double KMinSideFraction = 0.1; // of the image's short side
constexpr double KBorderWeight = 0.5;
constexpr double KReversedWeight = 0.85; // backing of a side with the paper on its dark side
constexpr std::size_t KReversible = 20;  // strongest lines also tried reversed
constexpr double KAreaExponent = 0.25;
constexpr double KContinuationGap = 2.0; // pixels past a corner before a side's continuation counts
constexpr double KContinuationShare = 0.1; // of the side's length
constexpr double KOvershootWeight = 0.5;

struct TSideEvidence {
    double Length = 0;  // whole side
    double Visible = 0; // inside the image
    double Backed = 0;
    double Contrast = 0;
    double Step = 0; // mean step across over the visible part
};

TSideEvidence SideEvidence(const TLineEvidence& e, cv::Point2d from, cv::Point2d to) {
    const cv::Point2d dir = e.Line.Direction();
    double a = dir.dot(from);
    double b = dir.dot(to);
    if (a > b) {
        std::swap(a, b);
    }
    TSideEvidence s;
    s.Length = b - a;
    const double trim = KCornerTrim * s.Length;
    const double lo = std::max(a + trim, e.From);
    const double hi = std::min(b - trim, e.To);
    if (hi <= lo) {
        return s;
    }
    s.Visible = hi - lo;
    if (e.Line.Border) {
        return s;
    }
    s.Backed = Between(e.Backed, e, lo, hi);
    s.Contrast = Between(e.Contrast, e, lo, hi);
    s.Step = Between(e.Step, e, lo, hi) / s.Visible;
    return s;
}

// How far the edge of a side goes on past `corner` in the unit direction
// `away`, over `length` pixels after a small gap: the backed share of that
// stretch times its mean step across relative to `sideStep`, the side's own
// (0..1). Texture along the line (wood grain) is backed but far weaker than
// a page edge; the page's own edge going on past a false corner is as
// strong. 0 when the stretch is (nearly) outside the image or the line is a
// border.
double Continuation(const TLineEvidence& e, cv::Point2d corner, cv::Point2d away, double length,
                    double sideStep) {
    if (e.Line.Border || sideStep <= 0) {
        return 0;
    }
    const cv::Point2d dir = e.Line.Direction();
    const double start = dir.dot(corner);
    const double sign = dir.dot(away) >= 0 ? 1.0 : -1.0;
    double a = start + sign * KContinuationGap;
    double b = start + sign * (KContinuationGap + length);
    if (a > b) {
        std::swap(a, b);
    }
    const double lo = std::max(a, e.From);
    const double hi = std::min(b, e.To);
    if (hi - lo < KContinuationGap) {
        return 0;
    }
    const double backed = Between(e.Backed, e, lo, hi) / (hi - lo);
    const double step = Between(e.Step, e, lo, hi) / (hi - lo);
    return backed * std::clamp(step / sideStep, 0.0, 1.0);
}

double Turn(double fromDeg, double toDeg) {
    const double t = std::fmod(toDeg - fromDeg + 720.0, 360.0);
    return t;
}

double Cross(cv::Point2d a, cv::Point2d b) {
    return a.x * b.y - a.y * b.x;
}

// Area of the polygon clipped to [0, w-1] x [0, h-1] (Sutherland-Hodgman).
double ClippedArea(const TCorners& corners, cv::Size size) {
    std::vector<cv::Point2d> polygon(corners.begin(), corners.end());
    const double limits[4] = {0, 0, size.width - 1.0, size.height - 1.0};
    for (int edge = 0; edge < 4 && !polygon.empty(); ++edge) {
        const auto inside = [&](cv::Point2d p) {
            switch (edge) {
            case 0:
                return p.x >= limits[0];
            case 1:
                return p.y >= limits[1];
            case 2:
                return p.x <= limits[2];
            default:
                return p.y <= limits[3];
            }
        };
        const auto cut = [&](cv::Point2d p, cv::Point2d q) {
            const bool vertical = edge == 0 || edge == 2;
            const double limit = limits[edge];
            const double t = vertical ? (limit - p.x) / (q.x - p.x) : (limit - p.y) / (q.y - p.y);
            return p + (q - p) * t;
        };
        std::vector<cv::Point2d> out;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const cv::Point2d p = polygon[i];
            const cv::Point2d q = polygon[(i + 1) % polygon.size()];
            if (inside(p)) {
                out.push_back(p);
                if (!inside(q)) {
                    out.push_back(cut(p, q));
                }
            } else if (inside(q)) {
                out.push_back(cut(p, q));
            }
        }
        polygon = out;
    }
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        twice += Cross(polygon[i], polygon[(i + 1) % polygon.size()]);
    }
    return std::abs(twice) / 2;
}

double InteriorAngleDeg(cv::Point2d previous, cv::Point2d corner, cv::Point2d next) {
    const cv::Point2d a = previous - corner;
    const cv::Point2d b = next - corner;
    return std::atan2(std::abs(Cross(a, b)), a.dot(b)) * 180.0 / CV_PI;
}

// Geometry checks and evidence of the sides (a, b, c, d) in clockwise order.
std::optional<TQuadCandidate> Evaluate(const std::array<const TLineEvidence*, 4>& sides,
                                       cv::Size size) {
    TQuadCandidate q;
    for (std::size_t k = 0; k < 4; ++k) {
        const std::optional<cv::Point2d> corner =
            Intersect(sides[(k + 3) % 4]->Line, sides[k]->Line, 0.2);
        if (!corner) {
            return std::nullopt;
        }
        q.Corners[k] = *corner;
        q.Sides[k] = sides[k]->Line;
        q.BorderSides += sides[k]->Line.Border;
        q.ReversedSides += sides[k]->Line.Reversed;
    }
    const double w = size.width;
    const double h = size.height;
    for (const cv::Point2d& c : q.Corners) {
        if (c.x < -w || c.x > 2 * w || c.y < -h || c.y > 2 * h) {
            return std::nullopt;
        }
    }
    const cv::Point2d centre = (q.Corners[0] + q.Corners[1] + q.Corners[2] + q.Corners[3]) * 0.25;
    const double minSide = KMinSideFraction * std::min(w, h);
    for (std::size_t k = 0; k < 4; ++k) {
        const cv::Point2d& previous = q.Corners[(k + 3) % 4];
        const cv::Point2d& corner = q.Corners[k];
        const cv::Point2d& next = q.Corners[(k + 1) % 4];
        if (Cross(corner - previous, next - corner) <= 0 || q.Sides[k].Distance(centre) <= 0) {
            return std::nullopt;
        }
        const double angle = InteriorAngleDeg(previous, corner, next);
        if (angle < KMinCornerAngle || angle > KMaxCornerAngle ||
            cv::norm(next - corner) < minSide) {
            return std::nullopt;
        }
    }
    double whole = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        whole += Cross(q.Corners[k], q.Corners[(k + 1) % 4]);
    }
    whole /= 2;
    const double visibleArea = ClippedArea(q.Corners, size);
    q.AreaFraction = visibleArea / (w * h);
    if (q.AreaFraction < KMinAreaFraction || visibleArea < KMinVisibleShare * whole) {
        return std::nullopt;
    }

    double backed = 0;
    double realVisible = 0;
    double borderVisible = 0;
    double contrast = 0;
    double normalBacked = 0;
    q.WeakestSide = 1;
    std::array<double, 4> sideSteps{};
    for (std::size_t k = 0; k < 4; ++k) {
        const TSideEvidence s = SideEvidence(*sides[k], q.Corners[k], q.Corners[(k + 1) % 4]);
        sideSteps[k] = s.Step;
        if (sides[k]->Line.Border) {
            borderVisible += s.Visible;
            continue;
        }
        backed += sides[k]->Line.Reversed ? KReversedWeight * s.Backed : s.Backed;
        realVisible += s.Visible;
        if (!sides[k]->Line.Reversed) {
            normalBacked += s.Backed;
            contrast += s.Contrast;
        }
        if (s.Visible >= std::max(10.0, 0.25 * s.Length)) {
            q.WeakestSide = std::min(q.WeakestSide, s.Backed / s.Visible);
        }
    }
    const double denominator = realVisible + KBorderWeight * borderVisible;
    if (denominator <= 0) {
        return std::nullopt;
    }
    q.Support = backed / denominator;
    q.Contrast = normalBacked > 0 ? contrast / normalBacked : 0;
    // A page's edges end at its corners; an edge that runs on past a corner
    // means the outline cuts across the page (a line of print taken for a side).
    double overshoot = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const cv::Point2d& previous = q.Corners[(k + 3) % 4];
        const cv::Point2d& corner = q.Corners[k];
        const cv::Point2d& next = q.Corners[(k + 1) % 4];
        const double before = cv::norm(corner - previous);
        const double after = cv::norm(next - corner);
        const double onPrevious =
            Continuation(*sides[(k + 3) % 4], corner, (corner - previous) / before,
                         KContinuationShare * before, sideSteps[(k + 3) % 4]);
        const double onNext = Continuation(*sides[k], corner, (corner - next) / after,
                                           KContinuationShare * after, sideSteps[k]);
        overshoot += std::max(onPrevious, onNext);
    }
    q.Overshoot = overshoot / 4;
    q.Score =
        q.Support * std::pow(q.AreaFraction, KAreaExponent) * (1 - KOvershootWeight * q.Overshoot);
    return q;
}

// Equal up to the corner a listing starts at, within two pixels.
bool SameOutline(const TQuadCandidate& a, const TQuadCandidate& b) {
    for (std::size_t shift = 0; shift < 4; ++shift) {
        bool same = true;
        for (std::size_t k = 0; k < 4 && same; ++k) {
            same = cv::norm(a.Corners[k] - b.Corners[(k + shift) % 4]) < 2.0;
        }
        if (same) {
            return true;
        }
    }
    return false;
}

// The lines sides are built from: `lines`, reversed copies of the
// strongest, and the borders of an image of `size`.
std::vector<TLine> SideCandidates(const std::vector<TLine>& lines, cv::Size size) {
    std::vector<TLine> sides = lines;
    for (std::size_t i = 0; i < std::min(KReversible, lines.size()); ++i) {
        TLine reversed = lines[i];
        reversed.Normal = -reversed.Normal;
        reversed.Offset = -reversed.Offset;
        reversed.Reversed = true;
        sides.push_back(reversed);
    }
    const double right = size.width - 1.0;
    const double bottom = size.height - 1.0;
    const cv::Point2d inside(right / 2, bottom / 2);
    sides.push_back(LineThrough({0, 0}, {right, 0}, inside, true));
    sides.push_back(LineThrough({right, 0}, {right, bottom}, inside, true));
    sides.push_back(LineThrough({right, bottom}, {0, bottom}, inside, true));
    sides.push_back(LineThrough({0, bottom}, {0, 0}, inside, true));
    return sides;
}

} // namespace

std::vector<TQuadCandidate> RankQuads(const TEdgeMaps& maps, const std::vector<TLine>& lines,
                                      std::size_t count) {
    const cv::Size size = maps.Paper.size();
    std::vector<TLineEvidence> evidence;
    for (const TLine& line : SideCandidates(lines, size)) {
        evidence.push_back(GatherEvidence(maps, line));
    }

    const std::size_t n = evidence.size();
    std::vector<double> angles(n);
    for (std::size_t i = 0; i < n; ++i) {
        angles[i] = evidence[i].Line.AngleDeg();
    }
    // follows[i][j]: side j can come right after side i going clockwise.
    std::vector<std::vector<std::size_t>> follows(n);
    std::vector<std::vector<bool>> canFollow(n, std::vector<bool>(n, false));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            const double t = Turn(angles[i], angles[j]);
            if (i != j && t >= KTurnMin && t <= KTurnMax) {
                follows[i].push_back(j);
                canFollow[i][j] = true;
            }
        }
    }

    std::vector<TQuadCandidate> ranked;
    const auto better = [](const TQuadCandidate& x, const TQuadCandidate& y) {
        return x.Score > y.Score;
    };
    for (std::size_t a = 0; a < n; ++a) {
        for (const std::size_t b : follows[a]) {
            if (b < a) {
                continue;
            }
            for (const std::size_t c : follows[b]) {
                if (c <= a) {
                    continue;
                }
                for (const std::size_t d : follows[c]) {
                    if (d <= a || d == b || !canFollow[d][a]) {
                        continue;
                    }
                    // At most one side that is not a plain edge (a border or a
                    // reversed line), or two borders meeting at an image corner
                    // (a page with a corner out of the photo).
                    const auto odd = [&](std::size_t i) {
                        return evidence[i].Line.Border || evidence[i].Line.Reversed;
                    };
                    const auto border = [&](std::size_t i) { return evidence[i].Line.Border; };
                    const int odds = odd(a) + odd(b) + odd(c) + odd(d);
                    const bool cornerOut =
                        odds == 2 && ((border(a) && border(b)) || (border(b) && border(c)) ||
                                      (border(c) && border(d)) || (border(d) && border(a)));
                    if (odds > 1 && !cornerOut) {
                        continue;
                    }
                    const std::optional<TQuadCandidate> q =
                        Evaluate({&evidence[a], &evidence[b], &evidence[c], &evidence[d]}, size);
                    if (!q || (ranked.size() == count && q->Score <= ranked.back().Score) ||
                        std::any_of(ranked.begin(), ranked.end(),
                                    [&](const TQuadCandidate& r) { return SameOutline(r, *q); })) {
                        continue;
                    }
                    ranked.insert(std::upper_bound(ranked.begin(), ranked.end(), *q, better), *q);
                    if (ranked.size() > count) {
                        ranked.pop_back();
                    }
                }
            }
        }
    }
    return ranked;
}

} // namespace bitonix
