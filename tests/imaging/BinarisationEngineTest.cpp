// The binarisation engine: rotation, warp, tiling on several threads, the
// grey image and the preview.
#include "imaging/BinarisationEngine.h"
#include "TestImages.h"
#include "imaging/JpegFile.h"
#include "imaging/PageGrey.h"
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
        const QImage doc = MakeDocumentImage(200, 300);
        Jpeg = Dir.filePath("page.jpg");
        WriteJpegFile(Jpeg, doc.constBits(), doc.width(), doc.height(),
                      static_cast<int>(doc.bytesPerLine()), TPixelOrder::poBGRX, 95);
    }

    TBinariseJob Job(const QString& jpg) const {
        TBinariseJob job;
        job.PageJpg = jpg;
        return job;
    }
    // The G4 TIFF the engine made, decoded.
    QImage Decoded(const TBinarisedPage& page) {
        const QString tif = Dir.filePath("out.tif");
        QFile f(tif);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(page.Tiff.data()),
                static_cast<qint64>(page.Tiff.size()));
        f.close();
        return ReadTiffIntoBitmap(tif, 0);
    }
    QImage Run(const TBinariseJob& job) { return Decoded(leptbin(Lept, job)); }

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
};

} // namespace

TEST_F(BinarisationEngine, WritesAOneBitG4Tiff) {
    const TBinarisedPage page = leptbin(Lept, Job(Jpeg));
    ASSERT_FALSE(page.Tiff.empty());
    const QString tif = Dir.filePath("g4.tif");
    QFile f(tif);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(page.Tiff.data()), static_cast<qint64>(page.Tiff.size()));
    f.close();
    const TTiffHandle h = TIFFOpenFile(tif, "r");
    ASSERT_TRUE(h);
    uint16_t bits = 0;
    uint16_t compression = 0;
    TIFFGetFieldDefaulted(h.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(h.get(), TIFFTAG_COMPRESSION, &compression);
    EXPECT_EQ(bits, 1);
    EXPECT_EQ(compression, COMPRESSION_CCITTFAX4);
}

TEST(PageRotationAngle, TheGlobalChoiceOrThePagesOwnTurnInManualMode) {
    struct TCase {
        int obrot;
        TPerspMode mode;
        int pageRotation;
        int degrees;
    };
    const TCase cases[] = {
        {0, TPerspMode::pmNone, 0, 0},     {1, TPerspMode::pmNone, 0, 270}, // 90 left
        {2, TPerspMode::pmAuto, 90, 90},   {3, TPerspMode::pmNone, 0, 180},
        {1, TPerspMode::pmSemi, 90, 90},   {2, TPerspMode::pmSemi, 0, 0}, // the page's own turn
        {1, TPerspMode::pmAuto, 180, 270}, // own turn ignored outside manual
    };
    for (const TCase& c : cases) {
        TPageCorrection corr;
        corr.Rotation = c.pageRotation;
        EXPECT_EQ(PageRotationAngle(c.obrot, corr, c.mode), c.degrees) << c.obrot;
    }
}

TEST_F(BinarisationEngine, TurnsThePageLastClockwiseByTheGivenDegrees) {
    struct TCase {
        int degrees;
        QSize size;
        QString block;
    };
    const TCase cases[] = {{0, {200, 300}, "top-left"},
                           {270, {300, 200}, "bottom-left"}, // counter-clockwise
                           {90, {300, 200}, "top-right"},
                           {180, {200, 300}, "bottom-right"}};
    for (const TCase& c : cases) {
        TBinariseJob job = Job(Jpeg);
        job.Rotation = c.degrees;
        const QImage out = Run(job);
        EXPECT_EQ(out.size(), c.size) << c.degrees;
        EXPECT_EQ(BlockCorner(out), c.block) << c.degrees;
    }
}

TEST_F(BinarisationEngine, StraightensTheGivenOutlineWithTheBindingsWarp) {
    ASSERT_TRUE(Lept.WarpAvailable());
    TBinariseJob job = Job(Jpeg);
    job.Warp = TCorners{TPointF{50, 60}, TPointF{149, 60}, TPointF{149, 239}, TPointF{50, 239}};
    EXPECT_EQ(Run(job).size(), QSize(99, 179));
    job.Warp.reset();
    EXPECT_EQ(Run(job).size(), QSize(200, 300));
}

TEST_F(BinarisationEngine, AnUnreadablePageGivesNoTiff) {
    EXPECT_TRUE(leptbin(Lept, Job(Dir.filePath("missing.jpg"))).Tiff.empty());
    const QString text = Dir.filePath("text.jpg");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    EXPECT_TRUE(leptbin(Lept, Job(text)).Tiff.empty());
}

TEST_F(BinarisationEngine, ThePreviewIsThePageReducedToGrey) {
    const QImage doc = MakeDocumentImage(1600, 2000);
    const QString jpg = Dir.filePath("big.jpg");
    WriteJpegFile(jpg, doc.constBits(), doc.width(), doc.height(),
                  static_cast<int>(doc.bytesPerLine()), TPixelOrder::poBGRX, 90);
    TBinariseJob job = Job(jpg);
    job.Rotation = 90;
    EXPECT_TRUE(leptbin(Lept, job).Preview.isNull()) << "none unless asked";
    job.PreviewSide = 500;
    const TBinarisedPage page = leptbin(Lept, job);
    const QImage full = Decoded(page);
    ASSERT_EQ(page.Preview.format(), QImage::Format_Grayscale8);
    EXPECT_LE(std::max(page.Preview.width(), page.Preview.height()), 500);
    EXPECT_GE(std::max(page.Preview.width(), page.Preview.height()), 400);
    // The same picture: turned like the page, and alike once both are reduced.
    const QSize common(100, 80);
    const QImage a = page.Preview.scaled(common, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = full.convertToFormat(QImage::Format_Grayscale8)
                         .scaled(common, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int far = 0;
    for (int y = 0; y < common.height(); ++y) {
        for (int x = 0; x < common.width(); ++x) {
            far += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 40 ? 1 : 0;
        }
    }
    EXPECT_LT(far, common.width() * common.height() / 100);
}

TEST_F(BinarisationEngine, TinyPagesStillBinarise) {
    const QImage tiny = MakeDocumentImage(9, 12);
    const QString jpg = Dir.filePath("tiny.jpg");
    WriteJpegFile(jpg, tiny.constBits(), 9, 12, static_cast<int>(tiny.bytesPerLine()),
                  TPixelOrder::poBGRX, 95);
    EXPECT_EQ(Run(Job(jpg)).size(), QSize(9, 12));
}

TEST(SauvolaTiles, FewestTilesUnderSixteenMillionPixelsSharedByTheThreads) {
    struct TCase {
        int w, h, threads, tiles;
    };
    const TCase cases[] = {{2479, 3508, 1, 1}, {4958, 7016, 1, 3}, {9917, 14033, 1, 9},
                           {100, 100, 1, 1},   {2479, 3508, 2, 2}, {9917, 14033, 2, 10},
                           {4958, 7016, 4, 4}, {18, 18, 2, 1}};
    for (const TCase& c : cases) {
        const TSauvolaTiles t = SauvolaTiles(c.w, c.h, 8, c.threads);
        EXPECT_EQ(t.nx * t.ny, c.tiles) << c.w << "x" << c.h << " " << c.threads;
        const long long tw = c.w - (t.nx - 1) * (c.w / t.nx) + 18;
        const long long th = c.h - (t.ny - 1) * (c.h / t.ny) + 18;
        EXPECT_LT(tw * th, 16'000'000LL);
    }
}

TEST_F(BinarisationEngine, TilesOnSeveralThreadsGiveTheSameBitsAsOneTile) {
    const QImage doc = MakeDocumentImage(901, 703);
    const QString jpg = Dir.filePath("big.jpg");
    WriteJpegFile(jpg, doc.constBits(), 901, 703, static_cast<int>(doc.bytesPerLine()),
                  TPixelOrder::poBGRX, 90);
    const TLeptonica::TTable& L = Lept.Fn();
    const TPixPtr gray = ReadPageGrey(Lept, jpg);
    ASSERT_TRUE(gray);
    const auto bits = [&](PIX* bw) {
        l_uint8* data = nullptr;
        size_t size = 0;
        L.pixWriteMemTiff(&data, &size, bw, IFF_TIFF_G4);
        QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        L.lept_free(data);
        return bytes;
    };
    PIX* single = nullptr;
    L.pixSauvolaBinarizeTiled(gray.get(), 8, 0.21F, 1, 1, nullptr, &single);
    const TPixPtr one(single, L.pixDestroy);
    const QByteArray expected = bits(one.get());
    ASSERT_FALSE(expected.isEmpty());
    const struct {
        TSauvolaTiles tiles;
        int threads;
    } cases[] = {{{1, 1}, 2}, {{3, 2}, 1}, {{1, 2}, 2}, {{2, 4}, 3}, {{1, 7}, 2}};
    for (const auto& c : cases) {
        const TPixPtr bw = SauvolaBinarizeParallel(Lept, gray.get(), 8, 0.21F, c.tiles, c.threads);
        ASSERT_TRUE(bw);
        EXPECT_EQ(bits(bw.get()), expected) << c.tiles.nx << "x" << c.tiles.ny << " " << c.threads;
    }
}

TEST(PageGrey, EveryColourBecomesTheGreyTheLibraryComputes) {
    // The library: weighted sum in single precision, the half added in double.
    int differing = 0;
    for (unsigned r = 0; r < 256; ++r) {
        for (unsigned g = 0; g < 256; ++g) {
            for (unsigned b = 0; b < 256; ++b) {
                const float sum = 0.3F * static_cast<float>(r) + 0.5F * static_cast<float>(g) +
                                  0.2F * static_cast<float>(b);
                const int library = static_cast<int>(static_cast<double>(sum) + 0.5);
                differing += LeptonicaGrey(r, g, b) != library ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(BinarisationEngine, TheGreyImageIsTheLibrarysOwnConversionOfTheColourPage) {
    // Coloured text and gradients, where the weights of the conversion show.
    QImage page(321, 233, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            page.setPixel(x, y, qRgb((x * 7) % 256, (y * 3 + x) % 256, (x * y) % 256));
        }
    }
    const QString jpg = Dir.filePath("colour.jpg");
    WriteJpegFile(jpg, page.constBits(), page.width(), page.height(),
                  static_cast<int>(page.bytesPerLine()), TPixelOrder::poBGRX, 100);
    const TLeptonica::TTable& L = Lept.Fn();
    const TPixPtr colour(L.pixRead(QFile::encodeName(jpg).constData()), L.pixDestroy);
    const TPixPtr literal(L.pixConvertRGBToGray(colour.get(), 0.0F, 0.0F, 0.0F), L.pixDestroy);
    const TPixPtr grey = ReadPageGrey(Lept, jpg);
    ASSERT_TRUE(literal);
    ASSERT_TRUE(grey);
    const auto equal = reinterpret_cast<decltype(&::pixEqual)>(Lept.Library()->resolve("pixEqual"));
    l_int32 same = 0;
    equal(literal.get(), grey.get(), &same);
    EXPECT_EQ(same, 1);
}

TEST(Leptonica, MissingLibraryIsReportedNotCalled) {
    QTemporaryDir empty;
    const TLeptonica lept(empty.path(), /*searchSystem=*/false);
    EXPECT_FALSE(lept.Loaded());
    EXPECT_EQ(lept.Library(), nullptr);
}
