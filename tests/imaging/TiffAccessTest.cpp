// TIFF access: stream adapters, page decoding, splitting into JPEGs.
#include "imaging/TiffAccess.h"
#include "FakeFeedback.h"
#include "TestImages.h"
#include "TestPdf.h"
#include "support/Error.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

namespace {

bool IsRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}
bool IsBlue(QRgb c) {
    return qBlue(c) > 200 && qGreen(c) < 60 && qRed(c) < 60;
}

QString ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const TError& e) {
        return e.Text();
    }
    return {};
}

} // namespace

TEST(TiffAccess, StreamSeekMapsWhenceAndRefusesNegativePositions) {
    TMemoryStream stream;
    const char bytes[] = "0123456789";
    stream.Write(bytes, 10);
    thandle_t h = &stream;
    EXPECT_EQ(TIFFStreamSeekProc(h, 4, 0), 4U);
    EXPECT_EQ(TIFFStreamSeekProc(h, 2, 1), 6U);
    EXPECT_EQ(TIFFStreamSeekProc(h, static_cast<toff_t>(-3), 2), 7U);
    EXPECT_EQ(TIFFStreamSeekProc(h, 3, 77), 3U); // unknown whence: from the start
    EXPECT_EQ(TIFFStreamSeekProc(h, static_cast<toff_t>(-20), 1), static_cast<toff_t>(-1));
    char buf[4] = {};
    EXPECT_EQ(TIFFStreamReadProc(h, buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "3456");
    EXPECT_EQ(TIFFStreamSizeProc(h), 10U);
    EXPECT_EQ(TIFFStreamCloseProc(h), 0);
    EXPECT_EQ(TIFFStreamSeekProc(h, 100, 0), 100U);
    EXPECT_EQ(TIFFStreamReadProc(h, buf, 4), 0); // past the end reads nothing
}

TEST(TiffAccess, ReadsATiffFromAStreamWithoutOwningIt) {
    QTemporaryDir dir;
    const QString path = WriteColourTiff(dir.filePath("c.tif"), 2, 8, 4);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    TMemoryStream stream;
    stream.Write(bytes.constData(), bytes.size());
    stream.Seek(0, TSeekOrigin::soBeginning);
    {
        const TTiffHandle tif = TIFFOpenStream(stream, "r");
        ASSERT_TRUE(tif);
        EXPECT_EQ(TIFFNumberOfDirectories(tif.get()), 2U);
    }
    EXPECT_EQ(stream.Size(), bytes.size()); // still there after the handle closed
}

TEST(TiffAccess, DecodesPagesKeepingColours) {
    QTemporaryDir dir;
    const QString path = WriteColourTiff(dir.filePath("c.tif"), 2, 40, 10);
    const QImage page = ReadTiffIntoBitmap(path, 1);
    ASSERT_EQ(page.size(), QSize(40, 10));
    EXPECT_TRUE(IsRed(page.pixel(5, 0)));
    EXPECT_TRUE(IsBlue(page.pixel(35, 9)));
    EXPECT_EQ(ErrorOf([&] { ReadTiffIntoBitmap(path, 2); }), "Unable to select TIFF page");
}

TEST(TiffAccess, SplitsPagesIntoNumberedJpegs) {
    QTemporaryDir dir;
    const QString path = WriteColourTiff(dir.filePath("c.tif"), 12, 64, 32);
    const QString out = dir.filePath("pages");
    QStringList pages;
    TFakeFeedback feedback;
    EXPECT_EQ(ExtractTiffPagesToJpeg(path, out, pages, feedback, false), 12);
    ASSERT_EQ(pages.size(), 12);
    EXPECT_EQ(pages.first(), out + "/00001.jpg");
    EXPECT_EQ(pages.last(), out + "/00012.jpg");
    EXPECT_EQ(feedback.Progress.at(2), "c.tif 3/12");
    const QImage first(pages.first());
    EXPECT_TRUE(IsRed(first.pixel(8, 16)));
    EXPECT_TRUE(IsBlue(first.pixel(56, 16)));
}

TEST(TiffAccess, StopKeepsThePagesWrittenSoFar) {
    QTemporaryDir dir;
    const QString path = WriteColourTiff(dir.filePath("c.tif"), 10, 16, 16);
    QStringList pages;
    TFakeFeedback feedback;
    feedback.StopAfter = 3; // the request arrives while page 3 is shown
    EXPECT_EQ(ExtractTiffPagesToJpeg(path, dir.filePath("out"), pages, feedback, false), 3);
    EXPECT_EQ(QDir(dir.filePath("out")).entryList({"*.jpg"}, QDir::Files).size(), 3);
}

TEST(TiffAccess, NotATiffIsReportedAndCreatesNoFolder) {
    QTemporaryDir dir;
    const QString text = WriteFile(dir.filePath("x.tif"), "not a tiff at all");
    QStringList pages;
    TFakeFeedback feedback;
    EXPECT_EQ(
        ErrorOf([&] { ExtractTiffPagesToJpeg(text, dir.filePath("out"), pages, feedback, false); }),
        "Unable to open file '" + text + "'");
    EXPECT_FALSE(QDir(dir.filePath("out")).exists());
    EXPECT_EQ(ErrorOf([&] { ReadTiffIntoBitmap(dir.filePath("none.tif"), 0); }),
              "Unable to open file '" + dir.filePath("none.tif") + "'");
}
