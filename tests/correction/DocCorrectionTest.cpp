// Corner convention and detector binding.
#include "correction/DocCorrection.h"

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
