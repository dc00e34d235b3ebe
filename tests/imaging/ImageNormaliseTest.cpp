// Single images to JPEG, and measuring image files.
#include "imaging/ImageNormalise.h"
#include "TestPdf.h"
#include "support/Error.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

TEST(ImageNormalise, TransparencyComesOutWhiteAndColourStays) {
    QTemporaryDir dir;
    QImage png(60, 40, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 20; ++x) {
            png.setPixel(x, y, qRgba(255, 0, 0, 255));
        }
    }
    ASSERT_TRUE(png.save(dir.filePath("a.png")));
    const QString out = dir.filePath("sub/folder/00001.jpg");
    NormalizeImageToJpeg(dir.filePath("a.png"), out, false);
    const QImage jpg(out);
    ASSERT_EQ(jpg.size(), QSize(60, 40));
    EXPECT_GT(qRed(jpg.pixel(5, 20)), 200);
    EXPECT_LT(qGreen(jpg.pixel(5, 20)), 60);
    EXPECT_GT(qGray(jpg.pixel(50, 20)), 245);
}

TEST(ImageNormalise, DecidesTheFormatFromContent) {
    QTemporaryDir dir;
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::blue);
    // A BMP and a GIF whose names say otherwise.
    ASSERT_TRUE(img.save(dir.filePath("bmp.jpg"), "BMP"));
    for (const QString& name : {QString("bmp.jpg")}) {
        NormalizeImageToJpeg(dir.filePath(name), dir.filePath(name + ".out.jpg"), false);
        EXPECT_EQ(QImage(dir.filePath(name + ".out.jpg")).size(), QSize(30, 20));
    }
    // A 1 x 1 GIF whose only pixel is transparent.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396101000100800000000000ffffff21f90401000000002c000000000100010000020144003b");
    WriteFile(dir.filePath("g.png"), gif);
    NormalizeImageToJpeg(dir.filePath("g.png"), dir.filePath("g.jpg"), false);
    const QImage g(dir.filePath("g.jpg"));
    ASSERT_EQ(g.size(), QSize(1, 1));
    EXPECT_GT(qGray(g.pixel(0, 0)), 245);
}

TEST(ImageNormalise, UnreadableImageIsAnErrorAndSizeIsFalse) {
    QTemporaryDir dir;
    const QString text = WriteFile(dir.filePath("notes.png"), "just some text\n");
    EXPECT_THROW(NormalizeImageToJpeg(text, dir.filePath("x.jpg"), false), TError);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.jpg")));
    int w = -1;
    int h = -1;
    EXPECT_FALSE(GetImgSize(text, w, h));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(GetImgSize(dir.filePath("missing.jpg"), w, h));

    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(Qt::white);
    ASSERT_TRUE(img.save(dir.filePath("ok.png")));
    EXPECT_TRUE(GetImgSize(dir.filePath("ok.png"), w, h));
    EXPECT_EQ(QSize(w, h), QSize(7, 5));
}
