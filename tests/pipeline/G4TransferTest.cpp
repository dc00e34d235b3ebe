// G4 strips out of the binariser's TIFF and into a PDF, unchanged.
#include "TestImages.h"
#include "correction/DocCorrection.h"
#include "imaging/BinarisationEngine.h"
#include "imaging/JpegFile.h"
#include "imaging/TiffAccess.h"
#include "pdf/PdfWriter.h"
#include "pipeline/G4StripTransfer.h"
#include "support/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

namespace {

TMemoryStream LoadStream(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    TMemoryStream s;
    s.Write(bytes.constData(), bytes.size());
    s.Seek(0, TSeekOrigin::soBeginning);
    return s;
}

// A G4 TIFF of a small bitmap written by libtiff with the given fill order.
QString WriteG4(const QString& path, uint16_t fillOrder) {
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    const int w = 64;
    const int h = 16;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, fillOrder);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
    unsigned char row[8];
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < 8; ++x) {
            row[x] = static_cast<unsigned char>((y * 37 + x * 11) & 0xF0);
        }
        TIFFWriteScanline(tif, row, static_cast<uint32_t>(y), 0);
    }
    TIFFClose(tif);
    return path;
}

} // namespace

TEST(G4Transfer, FillOrderTwoIsReversedAndOneIsCopied) {
    QTemporaryDir dir;
    TMemoryStream msb = LoadStream(WriteG4(dir.filePath("msb.tif"), FILLORDER_MSB2LSB));
    TMemoryStream lsb = LoadStream(WriteG4(dir.filePath("lsb.tif"), FILLORDER_LSB2MSB));
    TMemoryStream a;
    TMemoryStream b;
    const TG4Image ia = TransferG4Strips(msb, a);
    const TG4Image ib = TransferG4Strips(lsb, b);
    EXPECT_EQ(ia.W, 64U);
    EXPECT_EQ(ia.H, 16U);
    EXPECT_EQ(ib.W, 64U);
    ASSERT_GT(a.Size(), 0);
    EXPECT_TRUE(std::ranges::equal(a.Bytes(), b.Bytes()));
    EXPECT_EQ(msb.Size(), 0); // the TIFF stream is emptied
}

TEST(G4Transfer, GarbageIsNoTiffStream) {
    TMemoryStream junk;
    junk.Write("definitely not a tiff", 21);
    junk.Seek(0, TSeekOrigin::soBeginning);
    TMemoryStream out;
    try {
        TransferG4Strips(junk, out);
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(e.Text(), "Cannot open tiff stream");
    }
}

// The page made by the binariser from a real JPEG, moved into a PDF: the
// image a PDF reader decodes has exactly the pixels of the TIFF.
TEST(G4Transfer, PdfImageDecodesToTheBinarisedPixels) {
    QTemporaryDir dir;
    const TLeptonica lept(BITONIX_BIN_DIR);
    ASSERT_TRUE(lept.Loaded());
    TKPdfWriter writer("Bitonix test");
    writer.kpdfbegin();
    QStringList tiffs;
    for (int page = 0; page < 2; ++page) {
        const QImage doc = MakeDocumentImage(301 + page * 40, 422);
        const QString jpg = dir.filePath(QString("p%1.jpg").arg(page));
        WriteJpegFile(jpg, doc.constBits(), doc.width(), doc.height(),
                      static_cast<int>(doc.bytesPerLine()), TPixelOrder::poBGRX, 90);
        TBinariseJob job;
        job.PageJpg = jpg;
        job.Rotation = page == 1 ? 90 : 0;
        const TBinarisedPage done = leptbin(lept, job);
        const QString tif = dir.filePath(QString("p%1.tif").arg(page));
        QFile f(tif);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(done.Tiff.data()),
                static_cast<qint64>(done.Tiff.size()));
        f.close();
        tiffs << tif;
        TMemoryStream tiff = LoadStream(tif);
        TMemoryStream image;
        const TG4Image g4 = TransferG4Strips(tiff, image);
        writer.kpdfaddpage(image.Bytes(), static_cast<int>(g4.W), static_cast<int>(g4.H), 595, 842,
                           0, 0, 595, 842, QString("img_%1").arg(page + 1).toStdString());
    }
    const QString pdf = dir.filePath("out.pdf");
    writer.kpdffinish(QFile::encodeName(pdf).toStdString());

    QByteArray out;
    EXPECT_EQ(RunTool(QPDF_EXECUTABLE, {"--check", pdf}, &out), 0) << out.toStdString();
    EXPECT_FALSE(out.contains("WARNING")) << out.toStdString();
    ASSERT_EQ(RunTool(PDFIMAGES_EXECUTABLE, {"-list", pdf}, &out), 0);
    EXPECT_EQ(out.count("ccitt"), 2) << out.toStdString();
    ASSERT_EQ(RunTool(PDFIMAGES_EXECUTABLE, {"-png", pdf, dir.filePath("x")}, &out), 0);
    for (int page = 0; page < 2; ++page) {
        const QImage fromPdf =
            QImage(dir.filePath(QString("x-%1.png").arg(page, 3, 10, QChar('0'))))
                .convertToFormat(QImage::Format_Grayscale8);
        const QImage fromTiff =
            ReadTiffIntoBitmap(tiffs.at(page), 0).convertToFormat(QImage::Format_Grayscale8);
        ASSERT_EQ(fromPdf.size(), fromTiff.size());
        EXPECT_EQ(fromPdf, fromTiff) << "page " << page;
    }
}
