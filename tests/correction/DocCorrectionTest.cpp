// Corner convention, detector binding and the projective warp.
#include "correction/DocCorrection.h"
#include "imaging/Leptonica.h"

#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;

namespace {

TPageCorrection Page(int w, int h) {
    TPageCorrection c;
    c.ImgW = w;
    c.ImgH = h;
    SetFullPageCorners(c);
    return c;
}

} // namespace

TEST(Corners, FullPageSpansTheExtremePixels) {
    const TPageCorrection c = Page(4000, 3000);
    EXPECT_EQ(c.Corners,
              (TCorners{TPointF{0, 0}, TPointF{3999, 0}, TPointF{3999, 2999}, TPointF{0, 2999}}));
    EXPECT_EQ(Page(1, 1).Corners, TCorners{});
}

TEST(Corners, GeometryChangesBeyondOneAndAHalfPixelsPerCoordinate) {
    struct TCase {
        int corner;
        float dx, dy;
        bool changes;
    };
    const TCase cases[] = {
        {0, 0, 0, false},   {1, 1.5F, 0, false}, {2, -1.4F, 1.4F, false},
        {3, 0, 1.6F, true}, {0, -1.6F, 0, true}, {2, 0, -100, true},
    };
    for (const TCase& c : cases) {
        TPageCorrection p = Page(100, 80);
        p.Corners[static_cast<std::size_t>(c.corner)].X += c.dx;
        p.Corners[static_cast<std::size_t>(c.corner)].Y += c.dy;
        p.Rotation = 90; // never considered
        EXPECT_EQ(CorrectionChangesGeometry(p), c.changes)
            << c.corner << " " << c.dx << " " << c.dy;
    }
}

TEST(DocDetect, BindsOnceDetectsAndLeavesRecordsAloneWhenNothingIsFound) {
    QTemporaryDir empty;
    EXPECT_FALSE(LoadDocDetect(empty.path() + "/"));
    EXPECT_FALSE(DocDetectAvailable());

    ASSERT_TRUE(LoadDocDetect(FAKE_DETECTOR_DIR));
    EXPECT_TRUE(LoadDocDetect(FAKE_DETECTOR_DIR));

    TPageCorrection miss = Page(400, 500);
    miss.PageJpgFile = "/tmp/nothing.jpg";
    const TPageCorrection before = miss;
    EXPECT_FALSE(DetectCornersForPage(miss));
    EXPECT_EQ(miss, before);

    TPageCorrection hit = Page(400, 500);
    hit.PageJpgFile = QString::fromUtf8("/tmp/zażółć found.jpg");
    EXPECT_TRUE(DetectCornersForPage(hit));
    EXPECT_TRUE(hit.AutoDetected);
    EXPECT_EQ(hit.Corners[0], (TPointF{10.5F, 20.25F}));
    EXPECT_EQ(hit.Corners[3], (TPointF{8, 400}));

    // A success whose corners are no numbers counts as nothing found.
    for (const char* name : {"/tmp/found faulty nan.jpg", "/tmp/found faulty inf.jpg"}) {
        TPageCorrection faulty = Page(400, 500);
        faulty.PageJpgFile = name;
        const TPageCorrection untouched = faulty;
        EXPECT_FALSE(DetectCornersForPage(faulty)) << name;
        EXPECT_EQ(faulty, untouched) << name;
    }

    UnloadDocDetect();
    EXPECT_FALSE(DocDetectAvailable());
    TPageCorrection after = Page(400, 500);
    after.PageJpgFile = "/tmp/found.jpg";
    EXPECT_FALSE(DetectCornersForPage(after));
}

class Warp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitLeptonicaWarp(Lept.Library())); }
    void TearDown() override { InitLeptonicaWarp(nullptr); }

    // A grey test image: w x h, mid grey with a black top-left pixel block.
    TPixPtr Grey(int w, int h) {
        QLibrary* lib = Lept.Library();
        const auto create = reinterpret_cast<decltype(&::pixCreate)>(lib->resolve("pixCreate"));
        const auto setAll =
            reinterpret_cast<decltype(&::pixSetAllArbitrary)>(lib->resolve("pixSetAllArbitrary"));
        TPixPtr pix(create(w, h, 8), Lept.Fn().pixDestroy);
        setAll(pix.get(), 128);
        return pix;
    }
    QSize Size(PIX* pix) {
        int w = 0;
        int h = 0;
        Lept.Fn().pixGetDimensions(pix, &w, &h, nullptr);
        return {w, h};
    }
    unsigned Pixel(PIX* pix, int x, int y) {
        const auto get =
            reinterpret_cast<decltype(&::pixGetPixel)>(Lept.Library()->resolve("pixGetPixel"));
        l_uint32 v = 0;
        get(pix, x, y, &v);
        return v;
    }

    TLeptonica Lept{BITONIX_BIN_DIR};
};

TEST_F(Warp, OutputSizeFromTheLongerOppositeEdges) {
    const TPixPtr src = Grey(120, 160);
    TPageCorrection c = Page(120, 160);
    c.Corners = {TPointF{1, 2}, TPointF{101, 4}, TPointF{99, 142}, TPointF{0, 140}};
    const TPixPtr out(WarpPixGray(src.get(), 120, 160, c), Lept.Fn().pixDestroy);
    ASSERT_TRUE(out);
    EXPECT_EQ(Size(out.get()), QSize(100, 138));
    EXPECT_EQ(Size(src.get()), QSize(120, 160)); // the source is left alone
}

TEST_F(Warp, OutlineLargerThanTheSourceIsClampedWithWhiteOutside) {
    const TPixPtr src = Grey(120, 160);
    TPageCorrection c = Page(120, 160);
    c.Corners = {TPointF{-60, -80}, TPointF{179, -80}, TPointF{179, 239}, TPointF{-60, 239}};
    const TPixPtr out(WarpPixGray(src.get(), 120, 160, c), Lept.Fn().pixDestroy);
    ASSERT_TRUE(out);
    EXPECT_EQ(Size(out.get()), QSize(120, 160));
    EXPECT_EQ(Pixel(out.get(), 2, 2), 255U);   // outside the source: white
    EXPECT_EQ(Pixel(out.get(), 60, 80), 128U); // the source itself
}

TEST_F(Warp, DegenerateOutlineGivesOnePixelOrNothing) {
    const TPixPtr src = Grey(50, 50);
    TPageCorrection c = Page(50, 50);
    c.Corners = {TPointF{10, 10}, TPointF{10, 10}, TPointF{10, 10}, TPointF{10, 10}};
    const TPixPtr out(WarpPixGray(src.get(), 50, 50, c), Lept.Fn().pixDestroy);
    if (out) {
        EXPECT_EQ(Size(out.get()), QSize(1, 1));
    }
}

TEST(WarpUnbound, NullHandleLeavesTheWarpUnavailable) {
    EXPECT_FALSE(InitLeptonicaWarp(nullptr));
    EXPECT_FALSE(LeptonicaWarpAvailable());
    TPageCorrection c = Page(10, 10);
    EXPECT_EQ(WarpPixGray(nullptr, 10, 10, c), nullptr);
}
