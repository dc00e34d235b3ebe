// PDF pages to JPEG files: sizes, naming, rendering, errors, stopping.
#include "imaging/PdfRasterizer.h"
#include "FakeFeedback.h"
#include "TestImages.h"
#include "TestPdf.h"
#include "imaging/ImageNormalise.h"
#include "support/Error.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

TEST(PdfRasterizer, PixelSizesFitA4WithoutEnlarging) {
    struct TCase {
        double w, h;
        int dpi, W, H;
    };
    const TCase cases[] = {
        {595, 842, 300, 2479, 3508}, {595, 842, 150, 1240, 1754},
        {595, 842, 75, 620, 877},    {595.276, 841.89, 300, 2479, 3506},
        {612, 792, 300, 2479, 3208}, {842, 595, 300, 2479, 1752},
        {420, 595, 300, 1750, 2479}, {0.1, 0.1, 75, 1, 1},
    };
    for (const TCase& c : cases) {
        const TPixelSize px = PdfPagePixelSize(c.w, c.h, c.dpi);
        EXPECT_EQ(px.W, c.W) << c.w << "x" << c.h << "@" << c.dpi;
        EXPECT_EQ(px.H, c.H) << c.w << "x" << c.h << "@" << c.dpi;
    }
}

TEST(PdfRasterizer, RendersEveryPageWithItsSizeNameAndContent) {
    QTemporaryDir dir;
    const QString pdf =
        WritePdf(dir.filePath("in put.pdf"), {{595, 842, 0}, {612, 792, 0}, {595, 842, 90}});
    TFakeFeedback feedback;
    extractpdf({pdf, dir.filePath("pfx"), "75"}, feedback);

    const QStringList files = QDir(dir.path()).entryList({"*.jpg"}, QDir::Files, QDir::Name);
    ASSERT_EQ(files, QStringList({"pfx-00001.jpg", "pfx-00002.jpg", "pfx-00003.jpg"}));
    EXPECT_EQ(feedback.Progress,
              QStringList({"in put.pdf 1/3", "in put.pdf 2/3", "in put.pdf 3/3"}));
    EXPECT_EQ(feedback.Pumps, 3);

    int w = 0;
    int h = 0;
    ASSERT_TRUE(GetImgSize(dir.filePath("pfx-00002.jpg"), w, h));
    EXPECT_EQ(QSize(w, h), QSize(620, 802)); // Letter shrunk to A4 width
    ASSERT_TRUE(GetImgSize(dir.filePath("pfx-00003.jpg"), w, h));
    EXPECT_EQ(QSize(w, h), QSize(620, 438)); // turned page: landscape, fitted to the width

    // The black square sits in the top-left quarter; the rest is white paper.
    const QImage first(dir.filePath("pfx-00001.jpg"));
    EXPECT_LT(qGray(first.pixel(first.width() / 4, first.height() / 4)), 40);
    EXPECT_GT(qGray(first.pixel(first.width() * 3 / 4, first.height() * 3 / 4)), 215);
    // Turned clockwise by 90 degrees, the top-left quarter moves to the top right.
    const QImage turned(dir.filePath("pfx-00003.jpg"));
    EXPECT_LT(qGray(turned.pixel(turned.width() * 3 / 4, turned.height() / 4)), 40);
    EXPECT_GT(qGray(turned.pixel(turned.width() / 4, turned.height() / 4)), 215);
}

TEST(PdfRasterizer, ResolutionThatIsNotANumberRendersAt150) {
    QTemporaryDir dir;
    const QString pdf = WritePdf(dir.filePath("a.pdf"), {{595, 842, 0}});
    TFakeFeedback feedback;
    extractpdf({pdf, dir.filePath("p"), "abc"}, feedback);
    int w = 0;
    int h = 0;
    ASSERT_TRUE(GetImgSize(dir.filePath("p-00001.jpg"), w, h));
    EXPECT_EQ(QSize(w, h), QSize(1240, 1754));
}

TEST(PdfRasterizer, StopsBeforeTheNextPageWhenCancelled) {
    QTemporaryDir dir;
    const QString pdf = WritePdf(dir.filePath("a.pdf"), {{200, 200}, {200, 200}, {200, 200}});
    TFakeFeedback feedback;
    feedback.StopAfter = 2;
    extractpdf({pdf, dir.filePath("p"), "72"}, feedback);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.jpg"}, QDir::Files).size(), 2);
}

TEST(PdfRasterizer, ReportsUnreadableAndUnopenableFiles) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.pdf");
    const QString empty = WriteFile(dir.filePath("empty.pdf"), {});
    const QString damaged = WriteFile(dir.filePath("damaged.pdf"), "%PDF-1.4\nthis is no pdf\n");
    const QString plain = WritePdf(dir.filePath("plain.pdf"), {{595, 842}});
    const QString locked = dir.filePath("locked.pdf");
    ASSERT_EQ(RunTool(QPDF_EXECUTABLE, {"--encrypt", "user", "owner", "256", "--", plain, locked}),
              0);

    const struct {
        QString file;
        QString message;
    } cases[] = {
        {missing, "PDFium: nie mozna odczytac pliku PDF: " + missing},
        {empty, "PDFium: nie mozna odczytac pliku PDF: " + empty},
        {damaged, "PDFium: nie mozna otworzyc pliku PDF: " + damaged},
        {locked, "PDFium: nie mozna otworzyc pliku PDF: " + locked},
    };
    for (const auto& c : cases) {
        TFakeFeedback feedback;
        try {
            extractpdf({c.file, dir.filePath("p"), "75"}, feedback);
            ADD_FAILURE() << "no error for " << c.file.toStdString();
        } catch (const TError& e) {
            EXPECT_EQ(e.Text(), c.message);
        }
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({"p*.jpg"}, QDir::Files).isEmpty());
}
