// The editor's page bitmaps: quarter turns agree with the point transform,
// and huge pages are decoded reduced but keep their size.
#include "correction/PageBitmap.h"
#include "EditorTestSupport.h"
#include "correction/EditorGeometry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

TEST(PageBitmap, TurnedPixelsLandWhereImgToRotPutsTheirPoints) {
    QImage src(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            src.setPixel(x, y, qRgb(x * 40, y * 80, 7));
        }
    }
    for (const int angle : {0, 90, 180, 270, 45}) {
        TPageCorrection page;
        page.ImgW = 5;
        page.ImgH = 3;
        page.Rotation = angle;
        TEditorGeometry geo;
        geo.SetList({page});
        geo.SetIdx(0);
        const QImage turned = RotateBmp(src, angle);
        ASSERT_EQ(turned.size(), angle == 90 || angle == 270 ? QSize(3, 5) : QSize(5, 3));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const TPointF q = geo.ImgToRot(TPointF{float(x), float(y)});
                EXPECT_EQ(turned.pixel(int(q.X), int(q.Y)), src.pixel(x, y))
                    << angle << ": " << x << "," << y;
            }
        }
    }
    // Other formats are turned as opaque 32-bit pixels.
    const QImage grey = RotateBmp(src.convertToFormat(QImage::Format_Grayscale8), 90);
    EXPECT_EQ(grey.format(), QImage::Format_RGB32);
    EXPECT_EQ(grey.size(), QSize(3, 5));
}

TEST(PageBitmap, HugePageIsDecodedReducedAtItsFullSize) {
    QTemporaryDir dir;
    QImage big(6100, 6000, QImage::Format_Grayscale8);
    big.fill(255);
    const QString path = dir.filePath("big.jpg");
    ASSERT_TRUE(big.save(path, "JPEG", 50));
    big = QImage();
    const TPageBitmap page = LoadPageBitmap(path);
    EXPECT_EQ(page.Size, QSize(6100, 6000));
    EXPECT_EQ(page.Pixels.size(), QSize(3050, 3000));
    EXPECT_EQ(page.Pixels.format(), QImage::Format_RGB32);

    const TPageBitmap small =
        LoadPageBitmap(SaveJpeg(MakeDocumentImage(30, 20), dir.filePath("s.jpg")));
    EXPECT_EQ(small.Size, QSize(30, 20));
    EXPECT_EQ(small.Pixels.size(), QSize(30, 20));
    EXPECT_TRUE(LoadPageBitmap(dir.filePath("none.jpg")).Size.isEmpty());
    EXPECT_EQ(WhitePageBitmap(0, 10).Size, QSize(0, 0));
    const TPageBitmap white = WhitePageBitmap(12000, 9000);
    EXPECT_EQ(white.Size, QSize(12000, 9000));
    EXPECT_EQ(white.Pixels.size(), QSize(6000, 4500));
}
