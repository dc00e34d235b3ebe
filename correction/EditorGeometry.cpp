// Coordinate transforms, limits, hit test, drag steps and view changes of the
// corner editor.
#include "correction/EditorGeometry.h"

#include <algorithm>
#include <cmath>

namespace bitonix {

namespace {

double D(float v) {
    return static_cast<double>(v);
}
float F(double v) {
    return static_cast<float>(v);
}

TPointF Pt(double x, double y) {
    return TPointF{F(x), F(y)};
}

} // namespace

bool IsConvexQuad(std::span<const TPointF> P) {
    if (P.size() != 4) {
        return false;
    }
    for (const TPointF& p : P) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) {
            return false;
        }
    }
    double first = 0.0;
    for (std::size_t i = 0; i < 4; ++i) {
        const TPointF& a = P[i];
        const TPointF& b = P[(i + 1) % 4];
        const TPointF& c = P[(i + 2) % 4];
        const double z =
            (D(b.X) - D(a.X)) * (D(c.Y) - D(b.Y)) - (D(b.Y) - D(a.Y)) * (D(c.X) - D(b.X));
        if (std::abs(z) <= 0.001) {
            return false;
        }
        if (i == 0) {
            first = z;
        } else if ((z > 0) != (first > 0)) {
            return false;
        }
    }
    return true;
}

void TEditorGeometry::SetList(const TPageCorrectionList& list) {
    FList = list;
    FIdx = -1;
    FDrag = TDragMode::dmNone;
}

void TEditorGeometry::SetIdx(int i) {
    FIdx = i >= 0 && i < Count() ? i : -1;
}

TPageCorrection* TEditorGeometry::CurPage() {
    return FIdx >= 0 && FIdx < Count() ? &FList[FIdx] : nullptr;
}

const TPageCorrection* TEditorGeometry::CurPage() const {
    return FIdx >= 0 && FIdx < Count() ? &FList[FIdx] : nullptr;
}

int TEditorGeometry::CurRot() const {
    const TPageCorrection* page = CurPage();
    return page != nullptr ? page->Rotation : 0;
}

TPointF TEditorGeometry::ImgToRot(TPointF p) const {
    const TPageCorrection* page = CurPage();
    if (page == nullptr) {
        return p;
    }
    const double w = page->ImgW;
    const double h = page->ImgH;
    const double x = D(p.X);
    const double y = D(p.Y);
    switch (page->Rotation) {
    case 90:
        return Pt(h - 1 - y, x);
    case 180:
        return Pt(w - 1 - x, h - 1 - y);
    case 270:
        return Pt(y, w - 1 - x);
    default:
        return p;
    }
}

TPointF TEditorGeometry::RotToImg(TPointF p) const {
    const TPageCorrection* page = CurPage();
    if (page == nullptr) {
        return p;
    }
    const double w = page->ImgW;
    const double h = page->ImgH;
    const double x = D(p.X);
    const double y = D(p.Y);
    switch (page->Rotation) {
    case 90:
        return Pt(y, h - 1 - x);
    case 180:
        return Pt(w - 1 - x, h - 1 - y);
    case 270:
        return Pt(w - 1 - y, x);
    default:
        return p;
    }
}

TPointF TEditorGeometry::ImgToScreen(TPointF p) const {
    const TPointF q = ImgToRot(p);
    return Pt(D(q.X) * FZoom + FOffX, D(q.Y) * FZoom + FOffY);
}

TPointF TEditorGeometry::ScreenToImg(int x, int y) const {
    return RotToImg(Pt((x - FOffX) / FZoom, (y - FOffY) / FZoom));
}

void TEditorGeometry::ClampCorner(TPointF& p) const {
    const TPageCorrection* page = CurPage();
    if (page == nullptr) {
        return;
    }
    const float w = static_cast<float>(page->ImgW);
    const float h = static_cast<float>(page->ImgH);
    if (p.X < -w) {
        p.X = -w;
    }
    if (p.Y < -h) {
        p.Y = -h;
    }
    if (p.X > (w - 1) + w) {
        p.X = (w - 1) + w;
    }
    if (p.Y > (h - 1) + h) {
        p.Y = (h - 1) + h;
    }
}

TDragMode TEditorGeometry::HitTest(int x, int y, int& corner, int& edge) const {
    corner = -1;
    edge = -1;
    const TPageCorrection* page = CurPage();
    if (page == nullptr) {
        return TDragMode::dmNone;
    }
    TPointF s[4];
    for (std::size_t j = 0; j < 4; ++j) {
        s[j] = ImgToScreen(page->Corners[j]);
    }
    const TPointF mouse{static_cast<float>(x), static_cast<float>(y)};
    double best = KCornerRadius + 1;
    for (int j = 0; j < 4; ++j) {
        const double d = Dist(mouse, s[j]);
        if (d <= KCornerRadius && d < best) {
            corner = j;
            best = d;
        }
    }
    if (corner >= 0) {
        return TDragMode::dmCorner;
    }
    best = KEdgeRadius + 1;
    for (int j = 0; j < 4; ++j) {
        const TPointF& a = s[j];
        const TPointF& b = s[(j + 1) % 4];
        const TPointF m{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
        const double d = Dist(mouse, m);
        if (d <= KEdgeRadius && d < best) {
            edge = j;
            best = d;
        }
    }
    return edge >= 0 ? TDragMode::dmEdge : TDragMode::dmNone;
}

void TEditorGeometry::MouseDown(int x, int y) {
    if (CurPage() == nullptr) {
        return;
    }
    FDrag = HitTest(x, y, FDragCorner, FDragEdge);
    if (FDrag == TDragMode::dmCorner || FDrag == TDragMode::dmEdge) {
        FLastImg = ScreenToImg(x, y);
    } else {
        FDrag = TDragMode::dmPan;
        FPanLast = TPoint{x, y};
    }
}

bool TEditorGeometry::MouseMove(int x, int y) {
    if (CurPage() == nullptr) {
        return false;
    }
    switch (FDrag) {
    case TDragMode::dmPan:
        FOffX += x - FPanLast.X;
        FOffY += y - FPanLast.Y;
        FPanLast = TPoint{x, y};
        return true;
    case TDragMode::dmCorner:
    case TDragMode::dmEdge:
        return DragStep(x, y);
    case TDragMode::dmNone:
        break;
    }
    return false;
}

bool TEditorGeometry::HoverAt(int x, int y) {
    const TDragMode hit = HitTest(x, y, FDragCorner, FDragEdge);
    FDragCorner = -1;
    FDragEdge = -1;
    return hit != TDragMode::dmNone;
}

bool TEditorGeometry::DragStep(int x, int y) {
    TPageCorrection& page = *CurPage();
    const TPointF p = ScreenToImg(x, y);
    const double dx = D(p.X) - D(FLastImg.X);
    const double dy = D(p.Y) - D(FLastImg.Y);
    TCorners q = page.Corners;
    const auto move = [&](int k) {
        TPointF& c = q[static_cast<std::size_t>(k)];
        c = Pt(D(c.X) + dx, D(c.Y) + dy);
        ClampCorner(c);
    };
    if (FDrag == TDragMode::dmCorner && FDragCorner >= 0 && FDragCorner < 4) {
        move(FDragCorner);
    } else if (FDrag == TDragMode::dmEdge && FDragEdge >= 0 && FDragEdge < 4) {
        move(FDragEdge);
        move((FDragEdge + 1) % 4);
    } else {
        return false;
    }
    if (!IsConvexQuad(q)) {
        return false;
    }
    page.Corners = q;
    FLastImg = p;
    page.UserEdited = true;
    return true;
}

bool TEditorGeometry::FitToWindow(double rotW, double rotH, int pw, int ph) {
    const TPageCorrection* page = CurPage();
    if (page == nullptr || rotW <= 0 || rotH <= 0 || pw <= 0 || ph <= 0) {
        return false;
    }
    float minX = 0;
    float minY = 0;
    float maxX = F(rotW);
    float maxY = F(rotH);
    for (const TPointF& c : page->Corners) {
        const TPointF r = ImgToRot(c);
        minX = std::min(minX, r.X);
        minY = std::min(minY, r.Y);
        maxX = std::max(maxX, r.X);
        maxY = std::max(maxY, r.Y);
    }
    const float bw = maxX - minX;
    const float bh = maxY - minY;
    if (!(bw > 0) || !(bh > 0)) {
        return false;
    }
    FZoom = 0.9 * std::min(pw / D(bw), ph / D(bh));
    if (!(FZoom > 0)) {
        FZoom = 1;
    }
    FOffX = (pw - D(bw) * FZoom) / 2 - D(minX) * FZoom;
    FOffY = (ph - D(bh) * FZoom) / 2 - D(minY) * FZoom;
    return true;
}

void TEditorGeometry::ZoomIn(int pw, int ph) {
    const double cx = pw / 2.0;
    const double cy = ph / 2.0;
    FOffX = cx - (cx - FOffX) * KZoomStep;
    FOffY = cy - (cy - FOffY) * KZoomStep;
    FZoom = FZoom * KZoomStep;
}

void TEditorGeometry::ZoomOut(int pw, int ph) {
    const double cx = pw / 2.0;
    const double cy = ph / 2.0;
    FOffX = cx - (cx - FOffX) / KZoomStep;
    FOffY = cy - (cy - FOffY) / KZoomStep;
    FZoom = FZoom / KZoomStep;
}

bool TEditorGeometry::WheelZoom(int delta, int mx, int my) {
    if (delta == 0) {
        return false;
    }
    const double z =
        std::clamp(FZoom * std::pow(KZoomStep, delta / 120.0), KMinWheelZoom, KMaxWheelZoom);
    const double ratio = z / FZoom;
    if (std::isfinite(ratio)) {
        FOffX = mx - (mx - FOffX) * ratio;
        FOffY = my - (my - FOffY) * ratio;
    }
    FZoom = z;
    return true;
}

void TEditorGeometry::SetView(double zoom, double offX, double offY) {
    FZoom = zoom;
    FOffX = offX;
    FOffY = offY;
}

} // namespace bitonix
