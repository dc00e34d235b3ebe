// Page thumbnails and the strip's item geometry.
#include "EditorTestSupport.h"
#include "correction/PageThumbnail.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

TEST(Thumbnail, FitsInto104By128WithoutEnlarging) {
    struct TCase {
        int w, h;
        QSize thumb;
    };
    const TCase cases[] = {
        {3000, 4000, {96, 128}}, {4000, 3000, {104, 78}}, {50, 60, {50, 60}},
        {10000, 10, {104, 1}},   {10, 10000, {1, 128}},   {104, 128, {104, 128}},
        {208, 100, {104, 50}},   {1, 1, {1, 1}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ThumbnailSize(c.w, c.h), c.thumb) << c.w << "x" << c.h;
    }
}

TEST(Thumbnail, ShowsThePageReducedAndAPlaceholderWhenUnreadable) {
    QTemporaryDir dir;
    // Left half black, right half white, decoded at reduced scale.
    QImage page(3000, 4000, QImage::Format_RGB32);
    page.fill(Qt::white);
    for (int y = 0; y < page.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(page.scanLine(y));
        std::fill(line, line + 1500, qRgb(0, 0, 0));
    }
    const QImage thumb = CreatePageThumbnail(SaveJpeg(page, dir.filePath("big.jpg")), 1, 1);
    ASSERT_EQ(thumb.size(), QSize(96, 128));
    EXPECT_LT(qGray(thumb.pixel(10, 64)), 40);
    EXPECT_GT(qGray(thumb.pixel(85, 64)), 215);

    const QImage small =
        CreatePageThumbnail(SaveJpeg(MakeDocumentImage(50, 60), dir.filePath("s.jpg")), 0, 0);
    EXPECT_EQ(small.size(), QSize(50, 60));

    const QColor silver(192, 192, 192);
    struct TCase {
        int wHint, hHint;
        QSize size;
    };
    const TCase unreadable[] = {{0, 0, {104, 128}}, {3000, 4000, {96, 128}}, {-5, 40, {104, 128}}};
    for (const TCase& c : unreadable) {
        const QImage cross = CreatePageThumbnail(dir.filePath("missing.jpg"), c.wHint, c.hHint);
        ASSERT_EQ(cross.size(), c.size);
        EXPECT_EQ(cross.pixelColor(0, 0), silver);
        EXPECT_EQ(cross.pixelColor(c.size.width() - 1, 40), silver);
        EXPECT_EQ(cross.pixelColor(c.size.width() / 2, 10), QColor(Qt::white));
    }
    QFile junk(dir.filePath("junk.jpg"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("\xff\xd8 not really a jpeg");
    junk.close();
    EXPECT_EQ(CreatePageThumbnail(junk.fileName(), 50, 60).size(), QSize(50, 60));
}

TEST(Thumbnail, TheOneMadeDuringPreparationIsUsedWhenItFitsThePage) {
    QTemporaryDir dir;
    QImage page(3000, 4000, QImage::Format_RGB32);
    page.fill(Qt::white);
    const QString jpg = SaveJpeg(page, dir.filePath("00001.jpg"));
    // A red thumbnail file tells itself apart from the white page.
    QImage red(96, 128, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(ThumbnailFileFor(jpg), "PNG"));
    EXPECT_EQ(CreatePageThumbnail(jpg, 3000, 4000).pixelColor(48, 64), QColor(Qt::red));
    // One of another size belongs to some other image: the page is decoded.
    ASSERT_TRUE(red.copy(0, 0, 128, 96).save(ThumbnailFileFor(jpg), "PNG"));
    const QImage decoded = CreatePageThumbnail(jpg, 3000, 4000);
    ASSERT_EQ(decoded.size(), QSize(96, 128));
    EXPECT_GT(qGray(decoded.pixel(48, 64)), 245);
}

TEST(Thumbnail, ItemsSitAt172PixelPitchWithGaps) {
    struct TCase {
        int y;
        int index;
    };
    const TCase cases[] = {{7, -1},  {8, 0},   {171, 0}, {172, -1}, {179, -1}, {180, 1},
                           {343, 1}, {352, 2}, {515, 2}, {516, -1}, {524, -1}, {-10, -1}};
    for (const TCase& c : cases) {
        EXPECT_EQ(ThumbnailIndexAt(c.y, 3), c.index) << c.y;
    }
    EXPECT_EQ(ThumbnailItemRect(1, 124), QRect(8, 180, 108, 164));
    EXPECT_EQ(ThumbnailStripHeight(3, 400), 524);
    EXPECT_EQ(ThumbnailStripHeight(3, 600), 600);
    EXPECT_EQ(ThumbnailStripHeight(0, 300), 300);
}

TEST(Thumbnail, ABatchKeepsItsPageOrder) {
    QTemporaryDir dir;
    TPageCorrectionList pages;
    for (int i = 0; i < 12; ++i) {
        const int w = 40 + 10 * i;
        pages << PageRecord(
            SaveJpeg(MakeDocumentImage(w, 60), dir.filePath(QString("%1.jpg").arg(i))), w, 60);
    }
    pages << PageRecord(dir.filePath("missing.jpg"), 300, 400);
    const std::vector<QImage> thumbs = CreatePageThumbnails(pages);
    ASSERT_EQ(thumbs.size(), 13U);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(thumbs[static_cast<std::size_t>(i)].size(), ThumbnailSize(40 + 10 * i, 60)) << i;
    }
    EXPECT_EQ(thumbs[12].size(), QSize(96, 128));
    EXPECT_TRUE(CreatePageThumbnails({}).empty());
}
