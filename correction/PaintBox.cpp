// Opaque drawing area forwarding paint and mouse events to callbacks.
#include "correction/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace bitonix {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TPaintBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (OnPaint) {
        OnPaint(painter);
    }
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) {
        OnMouseDown(*event);
    }
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) {
        OnMouseMove(*event);
    }
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) {
        OnMouseUp(*event);
    }
}

} // namespace bitonix
