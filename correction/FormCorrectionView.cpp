// The corner editor's page view: painting, the mouse protocol, fit, zoom and
// the wheel.
#include "correction/FormCorrection.h"

#include "correction/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>

namespace bitonix {

namespace {

const QColor KGrey(128, 128, 128);
const QColor KGreen(0, 255, 0);
const QColor KYellow(255, 255, 0);
const QColor KRed(255, 0, 0);

// Screen coordinates far beyond any screen; points past them are not drawn.
constexpr double KFar = 1e6;

// Rounds half to even to a whole pixel, or nothing when far off screen.
std::optional<QPoint> Pixel(TPointF p) {
    const double x = std::nearbyint(static_cast<double>(p.X));
    const double y = std::nearbyint(static_cast<double>(p.Y));
    if (!(std::abs(x) < KFar) || !(std::abs(y) < KFar)) {
        return std::nullopt;
    }
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

// A screen point as drawn: whole pixels near the screen, exact far away.
QPointF Shown(TPointF p) {
    const std::optional<QPoint> pixel = Pixel(p);
    return pixel ? QPointF(*pixel) : QPointF(static_cast<double>(p.X), static_cast<double>(p.Y));
}

// Cuts the segment a-b to `box` (Liang-Barsky); false when nothing is left.
// Keeps huge zooms from handing the painter coordinates it cannot rasterise.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
        !std::isfinite(b.y())) {
        return false;
    }
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                         box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    const QPointF start = a;
    a = start + QPointF(dx * t0, dy * t0);
    b = start + QPointF(dx * t1, dy * t1);
    return true;
}

} // namespace

void TFormCorrection::FitToWindow() {
    if (FRotBmp.isNull() || FRotSize.isEmpty()) {
        return;
    }
    if (FGeo.FitToWindow(FRotSize.width(), FRotSize.height(), PaintBox1->width(),
                         PaintBox1->height())) {
        PaintBox1->update();
    }
}

void TFormCorrection::btnFitClick() {
    FitToWindow();
}

void TFormCorrection::btnZoomInClick() {
    FGeo.ZoomIn(PaintBox1->width(), PaintBox1->height());
    PaintBox1->update();
}

void TFormCorrection::btnZoomOutClick() {
    FGeo.ZoomOut(PaintBox1->width(), PaintBox1->height());
    PaintBox1->update();
}

bool TFormCorrection::FormMouseWheel(int delta, QPoint globalPos) {
    if (delta == 0) {
        return false;
    }
    if (pnlThumbs->rect().contains(pnlThumbs->mapFromGlobal(globalPos))) {
        ScrollThumbnails(delta);
        return true;
    }
    const QPoint m = PaintBox1->mapFromGlobal(globalPos);
    if (!FRotBmp.isNull() && FGeo.Idx() >= 0 && PaintBox1->rect().contains(m)) {
        FGeo.WheelZoom(delta, m.x(), m.y());
        PaintBox1->update();
        return true;
    }
    return false;
}

void TFormCorrection::wheelEvent(QWheelEvent* event) {
    if (FormMouseWheel(event->angleDelta().y(), event->globalPosition().toPoint())) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TFormCorrection::PaintBox1Paint(QPainter& painter) {
    const QRect area = PaintBox1->rect();
    painter.fillRect(area, KGrey);
    const TPageCorrection* page = FGeo.CurPage();
    if (FRotBmp.isNull() || page == nullptr) {
        return;
    }
    // The bitmap stretched over its page rectangle; only the visible part is
    // handed to the painter.
    const double zoom = FGeo.Zoom();
    const QRectF dest(QPointF(std::nearbyint(FGeo.OffX()), std::nearbyint(FGeo.OffY())),
                      QPointF(std::nearbyint(FGeo.OffX() + FRotSize.width() * zoom),
                              std::nearbyint(FGeo.OffY() + FRotSize.height() * zoom)));
    const QRectF visible = dest.intersected(QRectF(area));
    if (!visible.isEmpty() && dest.width() > 0 && dest.height() > 0) {
        const double sx = FRotBmp.width() / dest.width();
        const double sy = FRotBmp.height() / dest.height();
        const QRectF source((visible.left() - dest.left()) * sx, (visible.top() - dest.top()) * sy,
                            visible.width() * sx, visible.height() * sy);
        painter.drawImage(visible, FRotBmp, source);
    }

    TPointF s[4];
    for (std::size_t i = 0; i < 4; ++i) {
        s[i] = FGeo.ImgToScreen(page->Corners[i]);
    }
    const QRectF box = QRectF(area).adjusted(-16, -16, 16, 16);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(KGreen, 2));
    for (std::size_t i = 0; i < 4; ++i) {
        QPointF from = Shown(s[i]);
        QPointF to = Shown(s[(i + 1) % 4]);
        if (ClipSegment(from, to, box)) {
            painter.drawLine(from, to);
        }
    }
    painter.setBrush(KYellow);
    painter.setPen(QPen(Qt::black, 1));
    for (std::size_t i = 0; i < 4; ++i) {
        const TPointF& a = s[i];
        const TPointF& b = s[(i + 1) % 4];
        if (const auto m = Pixel(TPointF{(a.X + b.X) / 2, (a.Y + b.Y) / 2})) {
            painter.drawRoundedRect(
                QRect(QPoint(m->x() - 8, m->y() - 5), QPoint(m->x() + 7, m->y() + 4)), 2, 2);
        }
    }
    painter.setBrush(KRed);
    painter.setPen(QPen(Qt::white, 1));
    for (const TPointF& c : s) {
        if (const auto p = Pixel(c)) {
            painter.drawEllipse(
                QRect(QPoint(p->x() - 5, p->y() - 5), QPoint(p->x() + 4, p->y() + 4)));
        }
    }
}

void TFormCorrection::PaintBox1MouseDown(const QMouseEvent& event) {
    if (FGeo.CurPage() == nullptr) {
        return;
    }
    const QPoint pos = event.position().toPoint();
    FGeo.MouseDown(pos.x(), pos.y());
}

void TFormCorrection::PaintBox1MouseMove(const QMouseEvent& event) {
    if (FGeo.CurPage() == nullptr) {
        return;
    }
    const QPoint pos = event.position().toPoint();
    if (FGeo.Drag() == TDragMode::dmNone) {
        PaintBox1->setCursor(FGeo.HoverAt(pos.x(), pos.y()) ? Qt::PointingHandCursor
                                                            : Qt::SizeAllCursor);
        return;
    }
    if (FGeo.MouseMove(pos.x(), pos.y())) {
        PaintBox1->update();
    }
}

void TFormCorrection::PaintBox1MouseUp() {
    FGeo.MouseUp();
}

} // namespace bitonix
