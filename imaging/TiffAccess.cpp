// TIFF files and streams through libtiff.
#include "imaging/TiffAccess.h"

#include "imaging/JpegFile.h"
#include "imaging/PageThumbnailFile.h"
#include "support/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bitonix {

namespace {

TMemoryStream& StreamOf(thandle_t handle) {
    return *static_cast<TMemoryStream*>(handle);
}

QString OpenError(const QString& fileName) {
    return QStringLiteral("Unable to open file '") + fileName + QLatin1Char('\'');
}

} // namespace

tmsize_t TIFFStreamReadProc(thandle_t handle, void* buffer, tmsize_t count) {
    try {
        return static_cast<tmsize_t>(StreamOf(handle).Read(buffer, count));
    } catch (...) {
        return 0;
    }
}

tmsize_t TIFFStreamWriteProc(thandle_t handle, void* buffer, tmsize_t count) {
    try {
        return static_cast<tmsize_t>(StreamOf(handle).Write(buffer, count));
    } catch (...) {
        return 0;
    }
}

toff_t TIFFStreamSeekProc(thandle_t handle, toff_t offset, int whence) {
    TSeekOrigin origin = TSeekOrigin::soBeginning;
    if (whence == SEEK_CUR) {
        origin = TSeekOrigin::soCurrent;
    } else if (whence == SEEK_END) {
        origin = TSeekOrigin::soEnd;
    }
    // The library passes negative relative offsets as wrapped unsigned values.
    const auto signedOffset = static_cast<std::int64_t>(offset);
    const std::int64_t pos = StreamOf(handle).Seek(signedOffset, origin);
    return pos < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(pos);
}

int TIFFStreamCloseProc(thandle_t /*handle*/) {
    return 0;
}

toff_t TIFFStreamSizeProc(thandle_t handle) {
    return static_cast<toff_t>(StreamOf(handle).Size());
}

int TIFFNoMapProc(thandle_t /*handle*/, void** /*base*/, toff_t* /*size*/) {
    return 0;
}

void TIFFNoUnmapProc(thandle_t /*handle*/, void* /*base*/, toff_t /*size*/) {}

TTiffHandle TIFFOpenFile(const QString& fileName, const char* mode) {
    return TTiffHandle(TIFFOpen(QFile::encodeName(fileName).constData(), mode));
}

TTiffHandle TIFFOpenStream(TMemoryStream& stream, const char* mode) {
    return TTiffHandle(TIFFClientOpen("Stream", mode, &stream, TIFFStreamReadProc,
                                      TIFFStreamWriteProc, TIFFStreamSeekProc, TIFFStreamCloseProc,
                                      TIFFStreamSizeProc, TIFFNoMapProc, TIFFNoUnmapProc));
}

QImage ReadTiffIntoBitmap(const QString& fileName, unsigned directoryIndex) {
    const TTiffHandle tif = TIFFOpenFile(fileName, "r");
    if (!tif) {
        throw TError(OpenError(fileName));
    }
    for (unsigned i = 0; i < directoryIndex; ++i) {
        if (TIFFReadDirectory(tif.get()) == 0) {
            throw TError("Unable to select TIFF page");
        }
    }
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h);
    if (w == 0 || h == 0 || w > 0x7FFFFFFFU || h > 0x7FFFFFFFU) {
        throw TError("Unable to create TBitmap buffer");
    }
    // RGBA8888 stores each pixel as the bytes R, G, B, A: exactly the library's
    // packed raster on a little-endian machine, rows w * 4 bytes long.
    QImage bitmap(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGBA8888);
    if (bitmap.isNull() || bitmap.bytesPerLine() != static_cast<qsizetype>(w) * 4) {
        throw TError("Unable to create TBitmap buffer");
    }
    bitmap.fill(Qt::transparent);
    TIFFReadRGBAImageOriented(tif.get(), w, h, reinterpret_cast<std::uint32_t*>(bitmap.bits()),
                              ORIENTATION_TOPLEFT, /*stop=*/0);
    return bitmap;
}

int ExtractTiffPagesToJpeg(const QString& fileName, const QString& outputDir, QStringList& pages,
                           TExtractFeedback& feedback, bool thumbnails) {
    pages.clear();
    int count = 0;
    {
        const TTiffHandle tif = TIFFOpenFile(fileName, "r");
        if (!tif) {
            throw TError(OpenError(fileName));
        }
        count = static_cast<int>(TIFFNumberOfDirectories(tif.get()));
    }
    if (count <= 0) {
        throw TError(QStringLiteral("TIFF file has no pages: ") + fileName);
    }
    if (!QDir().mkpath(outputDir)) {
        throw TError(QStringLiteral("Cannot create folder \"%1\".").arg(outputDir));
    }
    QString folder = outputDir;
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    const QString name = QFileInfo(fileName).fileName();
    for (int i = 0; i < count; ++i) {
        if (feedback.Cancelled()) {
            break;
        }
        feedback.PageProgress(name, i + 1, count);
        feedback.Pump();
        const QImage page = ReadTiffIntoBitmap(fileName, static_cast<unsigned>(i));
        const QString out = folder + QStringLiteral("%1.jpg").arg(i + 1, 5, 10, QLatin1Char('0'));
        WriteJpegFile(out, page.constBits(), page.width(), page.height(),
                      static_cast<int>(page.bytesPerLine()), TPixelOrder::poRGBX, /*quality=*/100);
        if (thumbnails) {
            WritePageThumbnail(out, page.constBits(), page.width(), page.height(),
                               static_cast<int>(page.bytesPerLine()), TPixelOrder::poRGBX);
        }
        pages << out;
    }
    return static_cast<int>(pages.size());
}

} // namespace bitonix
