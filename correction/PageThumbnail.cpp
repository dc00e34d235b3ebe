// Page thumbnails (the file made during preparation, else decoded at reduced
// scale), their placeholder, and strip geometry.
#include "correction/PageThumbnail.h"

#include "support/Rounding.h"

#include <QImageReader>
#include <QPainter>
#include <algorithm>

namespace bitonix {

namespace {

// The pixel size of a thumbnail shown at `size` on a screen of ratio `scale`.
QSize PixelSize(QSize size, qreal scale) {
    if (scale <= 1) {
        return size;
    }
    return {std::max(1, RoundEven(size.width() * scale)),
            std::max(1, RoundEven(size.height() * scale))};
}

// A white image of `size` logical pixels at `scale`.
QImage WhiteThumbnail(QSize size, qreal scale) {
    QImage thumb(PixelSize(size, scale), QImage::Format_RGB32);
    thumb.fill(Qt::white);
    if (scale > 1) {
        thumb.setDevicePixelRatio(scale);
    }
    return thumb;
}

QImage Placeholder(int wHint, int hHint, qreal scale) {
    const QSize size =
        wHint < 1 || hHint < 1 ? QSize(KThumbW, KThumbH) : ThumbnailSize(wHint, hHint);
    QImage thumb = WhiteThumbnail(size, scale);
    QPainter painter(&thumb);
    painter.setPen(QColor(192, 192, 192));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, 0, size.width(), size.height());
    painter.drawLine(size.width(), 0, 0, size.height());
    return thumb;
}

} // namespace

QImage CreatePageThumbnail(const QString& path, int wHint, int hHint, qreal scale) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize full = reader.size();
    if (!full.isValid() || full.width() <= 0 || full.height() <= 0) {
        return Placeholder(wHint, hHint, scale);
    }
    if (scale <= 1) {
        const QImage prepared = ReadPageThumbnail(path, full);
        if (!prepared.isNull()) {
            return prepared;
        }
    }
    const QSize shown = ThumbnailSize(full.width(), full.height());
    const QSize size = PixelSize(shown, scale);
    // Decode at the smallest power-of-two reduction that still covers the
    // thumbnail, then scale the rest of the way smoothly.
    int k = 1;
    while (k < 8 && full.width() / (k * 2) >= size.width() &&
           full.height() / (k * 2) >= size.height()) {
        k *= 2;
    }
    if (k > 1) {
        reader.setScaledSize(QSize((full.width() + k - 1) / k, (full.height() + k - 1) / k));
    }
    const QImage decoded = reader.read();
    if (decoded.isNull() || decoded.width() <= 0 || decoded.height() <= 0) {
        return Placeholder(wHint, hHint, scale);
    }
    QImage thumb = WhiteThumbnail(shown, scale);
    QPainter painter(&thumb);
    const QImage scaled = decoded.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(shown)), scaled);
    return thumb;
}

QSize ThumbnailShownSize(const QImage& thumb) {
    return thumb.deviceIndependentSize().toSize();
}

std::vector<QImage> CreatePageThumbnails(const TPageCorrectionList& pages, qreal scale) {
    std::vector<QImage> thumbs;
    thumbs.reserve(static_cast<std::size_t>(pages.size()));
    for (const TPageCorrection& page : pages) {
        try {
            thumbs.push_back(CreatePageThumbnail(page.PageJpgFile, page.ImgW, page.ImgH, scale));
        } catch (...) {
            // Out of memory: the slot stays empty and shows as an empty frame.
            thumbs.emplace_back();
        }
    }
    return thumbs;
}

QRect ThumbnailItemRect(int i, int width) {
    return QRect(QPoint(KThumbMargin, KThumbPitch * i + KThumbMargin),
                 QPoint(width - KThumbMargin - 1, KThumbPitch * i + KThumbPitch - 1));
}

int ThumbnailIndexAt(int y, int n) {
    const int b = y - KThumbMargin;
    if (b < 0) {
        return -1;
    }
    const int k = b / KThumbPitch;
    if (k > n - 1) {
        return -1;
    }
    return b % KThumbPitch < KThumbItemH ? k : -1;
}

int ThumbnailStripHeight(int n, int minHeight) {
    const int h = n > 0 ? KThumbPitch * n + KThumbMargin : minHeight;
    return std::max(h, minHeight);
}

} // namespace bitonix
