// Page decoding for the editor and the quarter-turn copy of its bitmap.
#include "correction/PageBitmap.h"

#include <QImageReader>
#include <QPainter>
#include <vector>

namespace bitonix {

namespace {

// The smallest decoder scale 1, 2, 4 or 8 that brings w x h under the limit.
int ShownScale(qint64 w, qint64 h) {
    int k = 1;
    while (k < 8 && ((w + k - 1) / k) * ((h + k - 1) / k) > KMaxShownPixels) {
        k *= 2;
    }
    return k;
}

QSize Scaled(QSize size, int k) {
    return {(size.width() + k - 1) / k, (size.height() + k - 1) / k};
}

// Copies 32-bit pixels block by block; `to` maps a source (x, y) to the
// destination column and row. Destination rows come from a table filled once.
template <typename TMap> void CopyTurned(const QImage& src, QImage& dst, TMap to) {
    std::vector<quint32*> rows(static_cast<std::size_t>(dst.height()));
    for (int r = 0; r < dst.height(); ++r) {
        rows[static_cast<std::size_t>(r)] = reinterpret_cast<quint32*>(dst.scanLine(r));
    }
    constexpr int KBlock = 64; // keeps both images' lines in the cache
    const int w = src.width();
    const int h = src.height();
    for (int by = 0; by < h; by += KBlock) {
        const int ey = std::min(h, by + KBlock);
        for (int bx = 0; bx < w; bx += KBlock) {
            const int ex = std::min(w, bx + KBlock);
            for (int y = by; y < ey; ++y) {
                const auto* line = reinterpret_cast<const quint32*>(src.constScanLine(y));
                for (int x = bx; x < ex; ++x) {
                    const auto [col, row] = to(x, y);
                    rows[static_cast<std::size_t>(row)][col] = line[x];
                }
            }
        }
    }
}

} // namespace

TPageBitmap LoadPageBitmap(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize full = reader.size();
    if (full.isValid() && !full.isEmpty()) {
        const int k = ShownScale(full.width(), full.height());
        if (k > 1) {
            reader.setScaledSize(Scaled(full, k));
        }
    }
    const QImage decoded = reader.read();
    if (decoded.isNull() || decoded.width() <= 0 || decoded.height() <= 0) {
        return {};
    }
    TPageBitmap page;
    page.Size = full.isValid() && !full.isEmpty() ? full : decoded.size();
    if (decoded.format() == QImage::Format_RGB32) {
        page.Pixels = decoded;
        return page;
    }
    page.Pixels = QImage(decoded.size(), QImage::Format_RGB32);
    if (page.Pixels.isNull()) {
        return {};
    }
    page.Pixels.fill(Qt::white);
    QPainter painter(&page.Pixels);
    painter.drawImage(0, 0, decoded);
    return page;
}

TPageBitmap WhitePageBitmap(int w, int h) {
    if (w < 1 || h < 1) {
        return {QImage(), QSize(0, 0)};
    }
    TPageBitmap page;
    page.Size = QSize(w, h);
    page.Pixels = QImage(Scaled(page.Size, ShownScale(w, h)), QImage::Format_RGB32);
    page.Pixels.fill(Qt::white);
    return page;
}

QImage RotateBmp(const QImage& src, int angle) {
    const QImage s =
        src.format() == QImage::Format_RGB32 ? src : src.convertToFormat(QImage::Format_RGB32);
    if (angle != 90 && angle != 180 && angle != 270) {
        return s; // an implicitly shared copy: no pixel needs to move
    }
    const int w = s.width();
    const int h = s.height();
    QImage dst(angle == 180 ? w : h, angle == 180 ? h : w, QImage::Format_RGB32);
    if (dst.isNull() || s.isNull()) {
        return {};
    }
    using TCell = std::pair<int, int>;
    if (angle == 90) {
        CopyTurned(s, dst, [h](int x, int y) { return TCell{h - 1 - y, x}; });
    } else if (angle == 180) {
        CopyTurned(s, dst, [w, h](int x, int y) { return TCell{w - 1 - x, h - 1 - y}; });
    } else {
        CopyTurned(s, dst, [w](int x, int y) { return TCell{y, w - 1 - x}; });
    }
    return dst;
}

} // namespace bitonix
