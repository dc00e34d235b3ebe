// Thumbnail files beside page JPEGs.
#include "imaging/PageThumbnailFile.h"

#include "support/Rounding.h"

#include <QImageReader>
#include <QSaveFile>
#include <algorithm>

namespace bitonix {

namespace {

QImage::Format QtFormat(TPixelOrder order) {
    switch (order) {
    case TPixelOrder::poBGRX:
        return QImage::Format_RGB32; // 0xffRRGGBB words: bytes B, G, R, X
    case TPixelOrder::poRGBX:
        return QImage::Format_RGBX8888;
    case TPixelOrder::poRGB:
        return QImage::Format_RGB888;
    case TPixelOrder::poGray:
        return QImage::Format_Grayscale8;
    }
    return QImage::Format_RGB32;
}

} // namespace

QSize ThumbnailSize(int w, int h) {
    const double s = std::min(1.0, std::min(double{KThumbW} / w, double{KThumbH} / h));
    return {std::max(1, RoundEven(w * s)), std::max(1, RoundEven(h * s))};
}

QString ThumbnailFileFor(const QString& pageJpg) {
    QString base = pageJpg;
    if (base.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    return base + QStringLiteral(".thumb.png");
}

bool WritePageThumbnail(const QString& pageJpg, const unsigned char* pixels, int w, int h,
                        int stride, TPixelOrder order) noexcept {
    try {
        if (pixels == nullptr || w < 1 || h < 1) {
            return false;
        }
        // Wraps the caller's pixels without copying them.
        const QImage page(pixels, w, h, stride, QtFormat(order));
        const QImage thumb =
            page.scaled(ThumbnailSize(w, h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB32);
        if (thumb.isNull()) {
            return false;
        }
        QSaveFile file(ThumbnailFileFor(pageJpg));
        return file.open(QIODevice::WriteOnly) && thumb.save(&file, "PNG") && file.commit();
    } catch (...) {
        return false; // out of memory: the editor decodes the page instead
    }
}

QImage ReadPageThumbnail(const QString& pageJpg, QSize pageSize) {
    if (pageSize.width() < 1 || pageSize.height() < 1) {
        return {};
    }
    QImageReader reader(ThumbnailFileFor(pageJpg), "png");
    if (reader.size() != ThumbnailSize(pageSize.width(), pageSize.height())) {
        return {};
    }
    const QImage thumb = reader.read();
    return thumb.isNull() ? QImage() : thumb.convertToFormat(QImage::Format_RGB32);
}

} // namespace bitonix
