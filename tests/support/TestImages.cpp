// Test images and tools.
#include "TestImages.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <tiffio.h>
#include <vector>

namespace bitonix::test {

QImage MakeDocumentImage(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    // A striped block in the top-left corner: solid black would binarise to
    // white inside, stripes stay black wherever the window falls.
    for (int y = 0; y < h / 8; y += 4) {
        p.fillRect(0, y, w / 5, 2, Qt::black);
    }
    const int lineH = std::max(2, h / 60);
    for (int y = h / 5; y + lineH < h * 9 / 10; y += lineH * 3) {
        for (int x = w / 10; x + w / 12 < w * 9 / 10; x += w / 9) {
            p.fillRect(x, y, w / 12, lineH, QColor(20, 20, 20));
        }
    }
    return img;
}

QString WriteColourTiff(const QString& path, int pages, int w, int h) {
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (tif == nullptr) {
        return path;
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    for (int x = 0; x < w; ++x) {
        const bool left = x < w / 2;
        row[static_cast<std::size_t>(x) * 3 + 0] = left ? 255 : 0;
        row[static_cast<std::size_t>(x) * 3 + 1] = 0;
        row[static_cast<std::size_t>(x) * 3 + 2] = left ? 0 : 255;
    }
    for (int page = 0; page < pages; ++page) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
        for (int y = 0; y < h; ++y) {
            TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0);
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return path;
}

int RunTool(const QString& program, const QStringList& args, QByteArray* out) {
    QProcess proc;
    proc.start(program, args);
    if (!proc.waitForFinished(120000)) {
        return -1;
    }
    if (out != nullptr) {
        *out = proc.readAllStandardOutput() + proc.readAllStandardError();
    }
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

} // namespace bitonix::test
