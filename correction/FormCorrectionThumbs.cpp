// The editor's page thumbnail strip: building, layout, scrolling, painting and
// click selection.
#include "correction/FormCorrection.h"

#include "correction/PageThumbnail.h"
#include "correction/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace bitonix {

namespace {

constexpr int KWheelStep = 72; // strip pixels per wheel notch

} // namespace

void TFormCorrection::BuildThumbnails() {
    // Sharp on the screen the window is on: as many pixels as it shows.
    FThumbs = CreatePageThumbnails(FGeo.List(), devicePixelRatioF());
    UpdateThumbnailLayout();
    ThumbPaintBox->update();
}

void TFormCorrection::UpdateThumbnailLayout() {
    if (FInThumbLayout) {
        return;
    }
    FInThumbLayout = true;
    QScrollBar* bar = ThumbScroll->verticalScrollBar();
    const int remembered = bar->value();
    // Twice: the vertical scroll bar appearing or going narrows the client area.
    for (int pass = 0; pass < 2; ++pass) {
        const int clientH = ThumbScroll->viewport()->height();
        const int h = ThumbnailStripHeight(FGeo.Count(), clientH);
        int w = ThumbScroll->viewport()->width();
        if (w <= 0) {
            w = ThumbScroll->width();
        }
        if (w <= 0) {
            w = 120;
        }
        bar->setValue(0);
        ThumbPaintBox->setGeometry(0, 0, w, h);
    }
    const int maximum = std::max(0, ThumbPaintBox->height() - ThumbScroll->viewport()->height());
    bar->setValue(std::min(remembered, maximum));
    FInThumbLayout = false;
}

void TFormCorrection::ScrollThumbnails(int delta) {
    if (delta == 0) {
        return;
    }
    const int maximum = std::max(0, ThumbPaintBox->height() - ThumbScroll->viewport()->height());
    if (maximum == 0) {
        return;
    }
    const int step = static_cast<int>(std::nearbyint(delta / 120.0 * KWheelStep));
    QScrollBar* bar = ThumbScroll->verticalScrollBar();
    bar->setValue(std::clamp(bar->value() - step, 0, maximum));
    ThumbPaintBox->update();
}

QRect TFormCorrection::ThumbnailItemRect(int i) const {
    return bitonix::ThumbnailItemRect(i, ThumbPaintBox->width());
}

int TFormCorrection::ThumbnailIndexAt(int y) const {
    return bitonix::ThumbnailIndexAt(y, FGeo.Count());
}

void TFormCorrection::EnsureThumbnailVisible(int i) {
    if (i < 0 || i >= FGeo.Count()) {
        return;
    }
    const QRect r = ThumbnailItemRect(i);
    const int top = r.top();
    const int bottom = r.top() + r.height(); // exclusive
    QScrollBar* bar = ThumbScroll->verticalScrollBar();
    const int pos = bar->value();
    const int clientH = ThumbScroll->viewport()->height();
    if (top < pos) {
        bar->setValue(top);
    } else if (bottom > pos + clientH) {
        bar->setValue(bottom - clientH);
    }
}

void TFormCorrection::ThumbPaintBoxPaint(QPainter& painter) {
    const QPalette& pal = palette();
    const QRect area = ThumbPaintBox->rect();
    painter.fillRect(area, pal.color(QPalette::Button));
    painter.setFont(font());
    painter.setBackgroundMode(Qt::TransparentMode);
    const int n = FGeo.Count();
    for (int i = 0; i < n; ++i) {
        const QRect r = ThumbnailItemRect(i);
        if (r.bottom() < 0) {
            continue;
        }
        if (r.top() > area.height()) {
            break;
        }
        const bool current = i == FGeo.Idx();
        if (current) {
            painter.setBrush(pal.color(QPalette::Highlight));
            painter.setPen(QPen(pal.color(QPalette::Highlight), 1));
        } else {
            painter.setBrush(pal.color(QPalette::Base));
            painter.setPen(QPen(QColor(192, 192, 192), 1));
        }
        painter.drawRoundedRect(r, 3, 3);

        const std::size_t k = static_cast<std::size_t>(i);
        painter.setBrush(Qt::white);
        if (k < FThumbs.size() && !FThumbs[k].isNull()) {
            const QImage& thumb = FThumbs[k];
            const QSize shown = ThumbnailShownSize(thumb);
            const int x = r.left() + (r.width() - shown.width()) / 2;
            const int y = r.top() + 8;
            painter.setPen(QPen(QColor(128, 128, 128), 1));
            painter.drawRect(x - 1, y - 1, shown.width() + 1, shown.height() + 1);
            painter.drawImage(QRect(QPoint(x, y), shown), thumb);
        } else {
            painter.setPen(QPen(QColor(192, 192, 192), 1));
            painter.drawRect(
                QRect(QPoint(r.left() + 12, r.top() + 8), QPoint(r.right() - 12, r.top() + 135)));
        }

        const TPageCorrection& page = FGeo.List()[i];
        const QString label = QString::number(page.GlobalPageNo > 0 ? page.GlobalPageNo : i + 1);
        const QRect labelRect(QPoint(r.left() + 4, r.top() + r.height() - 22),
                              QPoint(r.right() - 4, r.top() + r.height() - 5));
        if (current) {
            painter.fillRect(labelRect, pal.color(QPalette::Highlight));
            painter.setPen(pal.color(QPalette::HighlightedText));
        } else {
            painter.setPen(pal.color(QPalette::Text));
        }
        painter.drawText(
            labelRect, Qt::AlignCenter | Qt::TextSingleLine,
            painter.fontMetrics().elidedText(label, Qt::ElideRight, labelRect.width()));
    }
}

void TFormCorrection::ThumbPaintBoxMouseDown(const QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) {
        return;
    }
    const int k = ThumbnailIndexAt(event.position().toPoint().y());
    if (k >= 0 && k < FGeo.Count() && k != FGeo.Idx()) {
        LoadPage(k);
    }
}

} // namespace bitonix
