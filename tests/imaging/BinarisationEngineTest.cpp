// The binarisation engine: rotation choice, warp decision, tiling.
#include "imaging/BinarisationEngine.h"
#include "TestImages.h"
#include "correction/DocCorrection.h"
#include "imaging/JpegFile.h"
#include "imaging/TiffAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

namespace {

class BinarisationEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Lept.Loaded());
        InitLeptonicaWarp(Lept.Library());
        const QImage doc = MakeDocumentImage(200, 300);
        Jpeg = Dir.filePath("page.jpg");
        WriteJpegFile(Jpeg, doc.constBits(), doc.width(), doc.height(),
                      static_cast<int>(doc.bytesPerLine()), TPixelOrder::poBGRX, 95);
        Corr.ImgW = 200;
        Corr.ImgH = 300;
        SetFullPageCorners(Corr);
    }
    void TearDown() override { InitLeptonicaWarp(nullptr); }

    // Binarises the test page and returns the decoded TIFF.
    QImage Run(int obrot, TPerspMode mode, const TPageCorrection& corr) {
        const QString tif = Dir.filePath("out.tif");
        QFile::remove(tif);
        leptbin(Lept, Jpeg, tif, /*whsize=*/8, /*factor=*/0.21F, obrot, corr, mode);
        return ReadTiffIntoBitmap(tif, 0);
    }

    // Where the solid block from the top-left of the source ended up.
    static QString BlockCorner(const QImage& img) {
        // Some black in the 12 x 12 square at a corner of the page.
        const auto black = [&](int x0, int y0) {
            for (int y = y0; y < y0 + 12; ++y) {
                for (int x = x0; x < x0 + 12; ++x) {
                    if (qGray(img.pixel(x, y)) < 128)
                        return true;
                }
            }
            return false;
        };
        const int r = img.width() - 13;
        const int b = img.height() - 13;
        if (black(1, 1))
            return "top-left";
        if (black(r, 1))
            return "top-right";
        if (black(r, b))
            return "bottom-right";
        if (black(1, b))
            return "bottom-left";
        return "none";
    }

    TLeptonica Lept{BITONIX_BIN_DIR};
    QTemporaryDir Dir;
    QString Jpeg;
    TPageCorrection Corr;
};

} // namespace

TEST_F(BinarisationEngine, WritesAOneBitG4Tiff) {
    const QString tif = Dir.filePath("g4.tif");
    leptbin(Lept, Jpeg, tif, 8, 0.21F, 0, Corr, TPerspMode::pmNone);
    const TTiffHandle h = TIFFOpenFile(tif, "r");
    ASSERT_TRUE(h);
    uint16_t bits = 0;
    uint16_t compression = 0;
    TIFFGetFieldDefaulted(h.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(h.get(), TIFFTAG_COMPRESSION, &compression);
    EXPECT_EQ(bits, 1);
    EXPECT_EQ(compression, COMPRESSION_CCITTFAX4);
}

TEST_F(BinarisationEngine, RotationFollowsTheGlobalChoiceOrThePageInManualMode) {
    struct TCase {
        int obrot;
        TPerspMode mode;
        int pageRotation;
        QSize size;
        QString block;
    };
    const TCase cases[] = {
        {0, TPerspMode::pmNone, 0, {200, 300}, "top-left"},
        {1, TPerspMode::pmNone, 0, {300, 200}, "bottom-left"}, // 90 left: counter-clockwise
        {2, TPerspMode::pmAuto, 90, {300, 200}, "top-right"},  // 90 right: clockwise
        {3, TPerspMode::pmNone, 0, {200, 300}, "bottom-right"},
        {1, TPerspMode::pmSemi, 90, {300, 200}, "top-right"}, // the page's own turn wins
        {2, TPerspMode::pmSemi, 0, {200, 300}, "top-left"},
        {1, TPerspMode::pmAuto, 180, {300, 200}, "bottom-left"}, // own turn ignored outside manual
    };
    for (const TCase& c : cases) {
        TPageCorrection corr = Corr;
        corr.Rotation = c.pageRotation;
        const QImage out = Run(c.obrot, c.mode, corr);
        EXPECT_EQ(out.size(), c.size) << c.obrot << " " << c.pageRotation;
        EXPECT_EQ(BlockCorner(out), c.block) << c.obrot << " " << c.pageRotation;
    }
}

TEST_F(BinarisationEngine, WarpsOnlyInTheStraighteningModesAndOnlyWhenCornersMoved) {
    TPageCorrection inner = Corr;
    inner.Corners = {TPointF{50, 60}, TPointF{149, 60}, TPointF{149, 239}, TPointF{50, 239}};
    EXPECT_EQ(Run(0, TPerspMode::pmNone, inner).size(), QSize(200, 300));
    EXPECT_EQ(Run(0, TPerspMode::pmAuto, inner).size(), QSize(99, 179));
    EXPECT_EQ(Run(0, TPerspMode::pmSemi, inner).size(), QSize(99, 179));

    TPageCorrection nearly = Corr;
    nearly.Corners[2] = TPointF{199 - 1.4F, 299 + 1.4F};
    EXPECT_EQ(Run(0, TPerspMode::pmAuto, nearly).size(), QSize(200, 300));

    InitLeptonicaWarp(nullptr); // no warp functions: binarised unwarped
    EXPECT_EQ(Run(0, TPerspMode::pmAuto, inner).size(), QSize(200, 300));
}

TEST_F(BinarisationEngine, TinyPagesStillBinarise) {
    const QImage tiny = MakeDocumentImage(9, 12);
    const QString jpg = Dir.filePath("tiny.jpg");
    WriteJpegFile(jpg, tiny.constBits(), 9, 12, static_cast<int>(tiny.bytesPerLine()),
                  TPixelOrder::poBGRX, 95);
    const QString tif = Dir.filePath("tiny.tif");
    TPageCorrection corr;
    leptbin(Lept, jpg, tif, 8, 0.21F, 0, corr, TPerspMode::pmNone);
    EXPECT_EQ(ReadTiffIntoBitmap(tif, 0).size(), QSize(9, 12));
}

TEST(SauvolaTiles, FewestTilesUnderSixteenMillionPixels) {
    struct TCase {
        int w, h, tiles;
    };
    const TCase cases[] = {{2479, 3508, 1}, {4958, 7016, 3}, {9917, 14033, 9}, {100, 100, 1}};
    for (const TCase& c : cases) {
        const TSauvolaTiles t = SauvolaTiles(c.w, c.h, 8);
        EXPECT_EQ(t.nx * t.ny, c.tiles) << c.w << "x" << c.h;
        const long long tw = c.w - (t.nx - 1) * (c.w / t.nx) + 18;
        const long long th = c.h - (t.ny - 1) * (c.h / t.ny) + 18;
        EXPECT_LT(tw * th, 16'000'000LL);
    }
}

TEST_F(BinarisationEngine, TilingGivesTheSameBitsAsOneTile) {
    const QImage doc = MakeDocumentImage(900, 700);
    const QString jpg = Dir.filePath("big.jpg");
    WriteJpegFile(jpg, doc.constBits(), 900, 700, static_cast<int>(doc.bytesPerLine()),
                  TPixelOrder::poBGRX, 90);
    const TLeptonica::TTable& L = Lept.Fn();
    const TPixPtr src(L.pixRead(QFile::encodeName(jpg).constData()), L.pixDestroy);
    const TPixPtr gray(L.pixConvertRGBToGray(src.get(), 0, 0, 0), L.pixDestroy);
    const auto binarise = [&](int nx, int ny) {
        PIX* out = nullptr;
        L.pixSauvolaBinarizeTiled(gray.get(), 8, 0.21F, nx, ny, nullptr, &out);
        const TPixPtr owned(out, L.pixDestroy);
        const QString tif = Dir.filePath(QString("t%1x%2.tif").arg(nx).arg(ny));
        L.pixWrite(QFile::encodeName(tif).constData(), owned.get(), IFF_TIFF_G4);
        QFile f(tif);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    const QByteArray one = binarise(1, 1);
    ASSERT_FALSE(one.isEmpty());
    EXPECT_EQ(binarise(3, 2), one);
    EXPECT_EQ(binarise(2, 4), one);
}

TEST(Leptonica, MissingLibraryIsReportedNotCalled) {
    QTemporaryDir empty;
    const TLeptonica lept(empty.path(), /*searchSystem=*/false);
    EXPECT_FALSE(lept.Loaded());
    EXPECT_EQ(lept.Library(), nullptr);
}
