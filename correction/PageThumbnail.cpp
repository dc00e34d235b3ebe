// Thumbnails decoded at reduced scale, their placeholder, and strip geometry.
#include "correction/PageThumbnail.h"

#include "support/Rounding.h"

#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <system_error>
#include <thread>

namespace bitonix {

namespace {

QImage Placeholder(int wHint, int hHint) {
    const QSize size =
        wHint < 1 || hHint < 1 ? QSize(KThumbW, KThumbH) : ThumbnailSize(wHint, hHint);
    QImage thumb(size, QImage::Format_RGB32);
    thumb.fill(Qt::white);
    QPainter painter(&thumb);
    painter.setPen(QColor(192, 192, 192));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, 0, size.width(), size.height());
    painter.drawLine(size.width(), 0, 0, size.height());
    return thumb;
}

} // namespace

QSize ThumbnailSize(int w, int h) {
    const double s = std::min(1.0, std::min(double{KThumbW} / w, double{KThumbH} / h));
    return {std::max(1, RoundEven(w * s)), std::max(1, RoundEven(h * s))};
}

QImage CreatePageThumbnail(const QString& path, int wHint, int hHint) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize full = reader.size();
    if (!full.isValid() || full.width() <= 0 || full.height() <= 0) {
        return Placeholder(wHint, hHint);
    }
    const QSize size = ThumbnailSize(full.width(), full.height());
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
        return Placeholder(wHint, hHint);
    }
    QImage thumb(size, QImage::Format_RGB32);
    thumb.fill(Qt::white);
    QPainter painter(&thumb);
    painter.drawImage(0, 0, decoded.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return thumb;
}

std::vector<QImage> CreatePageThumbnails(const TPageCorrectionList& pages) {
    const int n = static_cast<int>(pages.size());
    std::vector<QImage> thumbs(static_cast<std::size_t>(n));
    std::atomic<int> next{0};
    const auto work = [&pages, &thumbs, &next, n] {
        for (int i = next++; i < n; i = next++) {
            const TPageCorrection& page = pages[i];
            try {
                thumbs[static_cast<std::size_t>(i)] =
                    CreatePageThumbnail(page.PageJpgFile, page.ImgW, page.ImgH);
            } catch (...) {
                // Out of memory: the slot stays empty and shows as an empty frame.
            }
        }
    };
    const int workers =
        std::min(n, static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 8U)));
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < workers; ++t) {
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break; // no more threads: the ones running share the rest
            }
        }
        work();
    } // the helpers are joined here
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
