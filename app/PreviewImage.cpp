// Painting of the scaled preview picture.
#include "app/PreviewImage.h"

#include <QPainter>

namespace bitonix {

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image1"));
}

void TPreviewImage::SetImage(const QImage& image) {
    FImage = image;
    update();
}

void TPreviewImage::Clear() {
    FImage = QImage();
    update();
}

void TPreviewImage::paintEvent(QPaintEvent* /*event*/) {
    if (FImage.isNull() || width() <= 0 || height() <= 0) {
        return;
    }
    const QSize fitted = FImage.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, FImage);
}

} // namespace bitonix
