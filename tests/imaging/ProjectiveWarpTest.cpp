// The projective warp with the run's Leptonica binding.
#include "imaging/ProjectiveWarp.h"

#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;

namespace {

class Warp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Lept.WarpAvailable()); }

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
    TCorners c = {TPointF{1, 2}, TPointF{101, 4}, TPointF{99, 142}, TPointF{0, 140}};
    const TPixPtr out = WarpPixGray(Lept, src.get(), 120, 160, c);
    ASSERT_TRUE(out);
    EXPECT_EQ(Size(out.get()), QSize(100, 138));
    EXPECT_EQ(Size(src.get()), QSize(120, 160)); // the source is left alone
}

TEST_F(Warp, OutlineLargerThanTheSourceIsClampedWithWhiteOutside) {
    const TPixPtr src = Grey(120, 160);
    TCorners c = {TPointF{-60, -80}, TPointF{179, -80}, TPointF{179, 239}, TPointF{-60, 239}};
    const TPixPtr out = WarpPixGray(Lept, src.get(), 120, 160, c);
    ASSERT_TRUE(out);
    EXPECT_EQ(Size(out.get()), QSize(120, 160));
    EXPECT_EQ(Pixel(out.get(), 2, 2), 255U);   // outside the source: white
    EXPECT_EQ(Pixel(out.get(), 60, 80), 128U); // the source itself
}

TEST_F(Warp, DegenerateOutlineGivesOnePixelOrNothing) {
    const TPixPtr src = Grey(50, 50);
    TCorners c = {TPointF{10, 10}, TPointF{10, 10}, TPointF{10, 10}, TPointF{10, 10}};
    const TPixPtr out = WarpPixGray(Lept, src.get(), 50, 50, c);
    if (out) {
        EXPECT_EQ(Size(out.get()), QSize(1, 1));
    }
}

TEST(WarpUnbound, WithoutALoadedLibraryThereIsNoWarp) {
    QTemporaryDir empty;
    const TLeptonica none(empty.path(), /*searchSystem=*/false);
    EXPECT_FALSE(none.WarpAvailable());
    EXPECT_FALSE(WarpPixGray(none, nullptr, 10, 10, TCorners{}));
}

} // namespace
