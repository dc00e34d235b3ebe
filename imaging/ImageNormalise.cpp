// Image normalisation through Qt's image decoders.
#include "imaging/ImageNormalise.h"

#include "imaging/JpegFile.h"
#include "imaging/PageThumbnailFile.h"
#include "support/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace bitonix {

void NormalizeImageToJpeg(const QString& source, const QString& target, bool thumbnail) {
    QDir().mkpath(QFileInfo(target).absolutePath());
    QImageReader reader(source);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    QImage decoded = reader.read();
    if (decoded.isNull()) {
        throw TError(
            QStringLiteral("Unable to read image '%1': %2").arg(source, reader.errorString()));
    }
    QImage page;
    if (decoded.hasAlphaChannel()) {
        page = QImage(decoded.size(), QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.drawImage(0, 0, decoded);
    } else {
        page = decoded.convertToFormat(QImage::Format_RGB32);
    }
    decoded = QImage();
    if (page.isNull()) {
        throw TError(QStringLiteral("Unable to read image '%1': out of memory").arg(source));
    }
    // Format_RGB32 holds 0xffRRGGBB words: the bytes B, G, R, 0xff.
    WriteJpegFile(target, page.constBits(), page.width(), page.height(),
                  static_cast<int>(page.bytesPerLine()), TPixelOrder::poBGRX, /*quality=*/100);
    if (thumbnail) {
        WritePageThumbnail(target, page.constBits(), page.width(), page.height(),
                           static_cast<int>(page.bytesPerLine()), TPixelOrder::poBGRX);
    }
}

bool GetImgSize(const QString& fileName, int& w, int& h) {
    w = 0;
    h = 0;
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    QSize size = reader.canRead() ? reader.size() : QSize();
    if (!size.isValid()) {
        size = reader.read().size();
    }
    if (size.isValid()) {
        w = size.width();
        h = size.height();
    }
    return w > 0 && h > 0;
}

} // namespace bitonix
