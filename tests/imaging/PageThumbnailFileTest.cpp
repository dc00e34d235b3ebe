// Thumbnail files written beside page JPEGs while pages are prepared.
#include "imaging/PageThumbnailFile.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace bitonix;

TEST(PageThumbnailFile, NameSitsBesideThePage) {
    const std::pair<QString, QString> cases[] = {
        {"/t/btx.a/00001.jpg", "/t/btx.a/00001.thumb.png"},
        {"/t/p-00012.JPG", "/t/p-00012.thumb.png"},
        {"/t/page", "/t/page.thumb.png"},
    };
    for (const auto& [page, thumb] : cases) {
        EXPECT_EQ(ThumbnailFileFor(page), thumb) << page.toStdString();
    }
}

// A 400 x 300 page, red on the left half and blue on the right, in each byte
// order the page producers hand over, with padded rows.
TEST(PageThumbnailFile, KeepsColoursOfEveryPixelOrder) {
    struct TCase {
        TPixelOrder order;
        int bytes;
        std::vector<unsigned char> red, blue;
    };
    const TCase cases[] = {
        {TPixelOrder::poBGRX, 4, {0, 0, 255, 255}, {255, 0, 0, 255}},
        {TPixelOrder::poRGBX, 4, {255, 0, 0, 0}, {0, 0, 255, 0}},
        {TPixelOrder::poRGB, 3, {255, 0, 0}, {0, 0, 255}},
        {TPixelOrder::poGray, 1, {40}, {200}},
    };
    QTemporaryDir dir;
    const int w = 400;
    const int h = 300;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        const int stride = w * c.bytes + 12;
        std::vector<unsigned char> pixels(static_cast<std::size_t>(stride * h), 0x55);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const auto& px = x < w / 2 ? c.red : c.blue;
                std::copy(px.begin(), px.end(), pixels.begin() + y * stride + x * c.bytes);
            }
        }
        const QString page = dir.filePath(QString("p%1.jpg").arg(c.bytes));
        ASSERT_TRUE(WritePageThumbnail(page, pixels.data(), w, h, stride, c.order));
        const QImage thumb = ReadPageThumbnail(page, {w, h});
        ASSERT_EQ(thumb.size(), QSize(104, 78));
        EXPECT_FALSE(thumb.hasAlphaChannel());
        const QColor left = thumb.pixelColor(10, 40);
        const QColor right = thumb.pixelColor(94, 40);
        if (c.order == TPixelOrder::poGray) {
            EXPECT_EQ(qGray(left.rgb()), 40);
            EXPECT_EQ(qGray(right.rgb()), 200);
        } else {
            EXPECT_EQ(left, QColor(255, 0, 0));
            EXPECT_EQ(right, QColor(0, 0, 255));
        }
    }
}

TEST(PageThumbnailFile, OnlyAThumbnailOfThePageSizeIsRead) {
    QTemporaryDir dir;
    const QString page = dir.filePath("00001.jpg");
    EXPECT_TRUE(ReadPageThumbnail(page, {400, 300}).isNull()); // none written

    const std::vector<unsigned char> grey(400 * 300, 128);
    ASSERT_TRUE(WritePageThumbnail(page, grey.data(), 400, 300, 400, TPixelOrder::poGray));
    EXPECT_FALSE(ReadPageThumbnail(page, {400, 300}).isNull());
    // A thumbnail made for another size does not belong to this page.
    EXPECT_TRUE(ReadPageThumbnail(page, {300, 400}).isNull());
    EXPECT_TRUE(ReadPageThumbnail(page, {0, 0}).isNull());

    QFile broken(ThumbnailFileFor(page));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("\x89PNG not really");
    broken.close();
    EXPECT_TRUE(ReadPageThumbnail(page, {400, 300}).isNull());

    // Nothing to scale, or nowhere to write: no file and no exception.
    EXPECT_FALSE(WritePageThumbnail(page, nullptr, 400, 300, 400, TPixelOrder::poGray));
    EXPECT_FALSE(WritePageThumbnail(dir.filePath("missing/1.jpg"), grey.data(), 400, 300, 400,
                                    TPixelOrder::poGray));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing")));
}
