// The corner editor's geometry: transforms, limits, convexity, hit test, drag
// steps, fit and zoom.
#include "correction/EditorGeometry.h"
#include "correction/DocCorrection.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace bitonix;

namespace {

// An editor over one full-page w x h page turned by `rotation`, zoom 1 at 0, 0.
TEditorGeometry OnePage(int w, int h, int rotation = 0) {
    TPageCorrection page;
    page.ImgW = w;
    page.ImgH = h;
    page.Rotation = rotation;
    SetFullPageCorners(page);
    TEditorGeometry geo;
    geo.SetList({page});
    geo.SetIdx(0);
    return geo;
}

void ExpectPoint(TPointF actual, float x, float y) {
    EXPECT_FLOAT_EQ(actual.X, x);
    EXPECT_FLOAT_EQ(actual.Y, y);
}

const TCorners& Corners(const TEditorGeometry& geo) {
    return geo.List()[0].Corners;
}

} // namespace

TEST(EditorGeometry, RotationTransformsAreInversesOnANonSquarePage) {
    struct TCase {
        int rotation;
        TPointF img;
        TPointF rot;
    };
    const TCase cases[] = {
        {90, {0, 0}, {2999, 0}},     {90, {3999, 2999}, {0, 3999}}, {90, {10, 20}, {2979, 10}},
        {180, {0, 0}, {3999, 2999}}, {180, {10, 20}, {3989, 2979}}, {270, {0, 0}, {0, 3999}},
        {270, {10, 20}, {20, 3989}}, {0, {10, 20}, {10, 20}},       {45, {10, 20}, {10, 20}},
        {-90, {10, 20}, {10, 20}},
    };
    for (const TCase& c : cases) {
        const TEditorGeometry geo = OnePage(4000, 3000, c.rotation);
        SCOPED_TRACE(c.rotation);
        EXPECT_EQ(geo.CurRot(), c.rotation);
        ExpectPoint(geo.ImgToRot(c.img), c.rot.X, c.rot.Y);
        ExpectPoint(geo.RotToImg(c.rot), c.img.X, c.img.Y);
    }
    TEditorGeometry none = OnePage(4000, 3000, 90);
    none.SetIdx(5);
    EXPECT_EQ(none.CurRot(), 0);
    EXPECT_EQ(none.CurPage(), nullptr);
}

TEST(EditorGeometry, ScreenMapsThroughRotationZoomAndOffset) {
    TEditorGeometry geo = OnePage(400, 300, 90);
    geo.SetView(0.5, 10, 20);
    // Image (0, 0) is rotated (299, 0), shown at 299 * 0.5 + 10.
    ExpectPoint(geo.ImgToScreen({0, 0}), 159.5F, 20);
    // Screen (160, 20) is rotated (300, 0): one row above the image.
    ExpectPoint(geo.ScreenToImg(160, 20), 0, -1);
    ExpectPoint(geo.ScreenToImg(10, 220), 400, 299);
}

TEST(EditorGeometry, ClampAllowsOneImageSizeOutsideOnEverySide) {
    const TEditorGeometry geo = OnePage(100, 50);
    struct TCase {
        TPointF in;
        TPointF out;
    };
    const TCase cases[] = {
        {{-150, 120}, {-100, 99}}, {{250, -60}, {199, -50}},   {{-100, -50}, {-100, -50}},
        {{199, 99}, {199, 99}},    {{50.5F, 25}, {50.5F, 25}},
    };
    for (const TCase& c : cases) {
        TPointF p = c.in;
        geo.ClampCorner(p);
        EXPECT_EQ(p, c.out) << c.in.X << "," << c.in.Y;
    }
}

TEST(EditorGeometry, ConvexityAcceptsBothWindingsOnly) {
    const float nan = std::nanf("");
    struct TCase {
        const char* name;
        std::vector<TPointF> points;
        bool convex;
    };
    const TCase cases[] = {
        {"clockwise", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true},
        {"anticlockwise", {{0, 0}, {0, 10}, {10, 10}, {10, 0}}, true},
        {"bow tie", {{0, 0}, {10, 0}, {0, 10}, {10, 10}}, false},
        {"collinear", {{0, 0}, {5, 0}, {10, 0}, {0, 10}}, false},
        {"coinciding", {{0, 0}, {0, 0}, {10, 10}, {0, 10}}, false},
        // The turn at corner 1 is c.Y (2^-10 <= 0.001 < 2^-9), the others large.
        {"turn 2^-10", {{0, 0}, {1, 0}, {1000, 0.0009765625F}, {0, 10}}, false},
        {"turn 2^-9", {{0, 0}, {1, 0}, {1000, 0.001953125F}, {0, 10}}, true},
        {"reflex", {{0, 0}, {10, 0}, {3, 3}, {0, 10}}, false},
        {"three points", {{0, 0}, {10, 0}, {10, 10}}, false},
        {"five points", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5}}, false},
        {"not a number", {{0, 0}, {10, 0}, {nan, 10}, {0, 10}}, false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(IsConvexQuad(c.points), c.convex) << c.name;
    }
}

TEST(EditorGeometry, HitTestPrefersCornersThenNearestThenLowerIndex) {
    TEditorGeometry geo = OnePage(200, 100);
    geo.SetView(2, 10, 10); // corners on screen: (10,10) (408,10) (408,208) (10,208)
    int corner = 0;
    int edge = 0;
    EXPECT_EQ(geo.HitTest(17, 10, corner, edge), TDragMode::dmCorner);
    EXPECT_EQ(corner, 0);
    EXPECT_EQ(edge, -1);
    EXPECT_EQ(geo.HitTest(18, 10, corner, edge), TDragMode::dmNone);
    EXPECT_EQ(corner, -1);
    // Top edge midpoint (209, 10): 10 px grabs, 11 does not.
    EXPECT_EQ(geo.HitTest(209, 20, corner, edge), TDragMode::dmEdge);
    EXPECT_EQ(edge, 0);
    EXPECT_EQ(geo.HitTest(209, 21, corner, edge), TDragMode::dmNone);
    EXPECT_EQ(geo.HitTest(405, 109, corner, edge), TDragMode::dmEdge);
    EXPECT_EQ(edge, 1);

    // 7 px grabs, 7.01 px does not.
    geo = OnePage(200, 100);
    geo.List()[0].Corners[2] = TPointF{99.99F, 50};
    EXPECT_EQ(geo.HitTest(107, 50, corner, edge), TDragMode::dmNone);
    geo.List()[0].Corners[2] = TPointF{100, 50};
    EXPECT_EQ(geo.HitTest(107, 50, corner, edge), TDragMode::dmCorner);
    EXPECT_EQ(corner, 2);

    // Corners within 7 px win over the nearer edge midpoint (6, 0); between
    // two corners at equal distance the lower index, otherwise the nearest.
    geo.List()[0].Corners = {TPointF{0, 0}, TPointF{12, 0}, TPointF{12, 80}, TPointF{0, 80}};
    EXPECT_EQ(geo.HitTest(6, 0, corner, edge), TDragMode::dmCorner);
    EXPECT_EQ(corner, 0);
    EXPECT_EQ(geo.HitTest(7, 0, corner, edge), TDragMode::dmCorner);
    EXPECT_EQ(corner, 1);
    geo.List()[0].Corners = {TPointF{0, 0}, TPointF{50, 0}, TPointF{50, 50}, TPointF{50, 50}};
    EXPECT_EQ(geo.HitTest(52, 51, corner, edge), TDragMode::dmCorner);
    EXPECT_EQ(corner, 2);

    geo.SetIdx(-1);
    EXPECT_EQ(geo.HitTest(0, 0, corner, edge), TDragMode::dmNone);
}

TEST(EditorGeometry, CornerDraggedAcrossTheOppositeEdgeStopsAndFollowsAgain) {
    TEditorGeometry geo = OnePage(100, 100);
    geo.MouseDown(97, 97); // grabs corner 2 at (99, 99), 2 px off
    ASSERT_EQ(geo.Drag(), TDragMode::dmCorner);
    ASSERT_EQ(geo.DragCorner(), 2);
    EXPECT_TRUE(geo.MouseMove(77, 77));
    EXPECT_EQ(Corners(geo)[2], (TPointF{79, 79}));
    EXPECT_TRUE(geo.List()[0].UserEdited);
    // Past the diagonal from corner 1 to corner 3 the outline would turn in.
    EXPECT_FALSE(geo.MouseMove(40, 40));
    EXPECT_FALSE(geo.MouseMove(30, 45));
    EXPECT_EQ(Corners(geo)[2], (TPointF{79, 79}));
    // Back on the valid side the corner jumps under the mouse, keeping its
    // offset from the last accepted step.
    EXPECT_TRUE(geo.MouseMove(60, 58));
    EXPECT_EQ(Corners(geo)[2], (TPointF{62, 60}));
    geo.MouseUp();
    EXPECT_EQ(geo.Drag(), TDragMode::dmNone);
    EXPECT_FALSE(geo.MouseMove(0, 0));
    EXPECT_EQ(Corners(geo)[0], (TPointF{0, 0}));
}

TEST(EditorGeometry, EdgePushedAgainstAClampTilts) {
    TEditorGeometry geo = OnePage(100, 50);
    geo.MouseDown(0, 0); // corner 0 up to y = -40
    geo.MouseMove(0, -40);
    geo.MouseUp();
    ASSERT_EQ(Corners(geo)[0], (TPointF{0, -40}));
    // Top edge midpoint is (49.5, -20).
    geo.MouseDown(50, -20);
    ASSERT_EQ(geo.Drag(), TDragMode::dmEdge);
    ASSERT_EQ(geo.DragEdge(), 0);
    EXPECT_TRUE(geo.MouseMove(50, -40));
    EXPECT_EQ(Corners(geo)[0], (TPointF{0, -50})); // stopped by the clamp at -H
    EXPECT_EQ(Corners(geo)[1], (TPointF{99, -20}));
    EXPECT_TRUE(geo.MouseMove(53, -50));
    EXPECT_EQ(Corners(geo)[0], (TPointF{3, -50}));
    EXPECT_EQ(Corners(geo)[1], (TPointF{102, -30}));
    EXPECT_EQ(Corners(geo)[2], (TPointF{99, 49}));
}

TEST(EditorGeometry, PressAwayFromHandlesPansPageAndOutlineTogether) {
    TEditorGeometry geo = OnePage(100, 100);
    geo.MouseDown(50, 50);
    EXPECT_EQ(geo.Drag(), TDragMode::dmPan);
    EXPECT_TRUE(geo.MouseMove(55, 43));
    EXPECT_TRUE(geo.MouseMove(60, 40));
    EXPECT_DOUBLE_EQ(geo.OffX(), 10);
    EXPECT_DOUBLE_EQ(geo.OffY(), -10);
    EXPECT_EQ(Corners(geo)[0], (TPointF{0, 0}));
    EXPECT_FALSE(geo.List()[0].UserEdited);
    // The handles moved with the page: corner 3 is now shown at (10, 89).
    EXPECT_TRUE(geo.HoverAt(10, 89));
    EXPECT_FALSE(geo.HoverAt(0, 99));
}

TEST(EditorGeometry, FitPutsPageAndOutlineIntoNinetyPercentCentred) {
    TEditorGeometry geo = OnePage(4000, 3000);
    ASSERT_TRUE(geo.FitToWindow(4000, 3000, 784, 565));
    EXPECT_DOUBLE_EQ(geo.Zoom(), 0.9 * (565 / 3000.0));
    EXPECT_NEAR(geo.OffX(), 53, 1e-9);
    EXPECT_NEAR(geo.OffY(), 565 * 0.05, 1e-9);

    // An outline outside the page widens the box; the union is centred and
    // fills 90 % of the limiting dimension.
    geo.List()[0].Corners[0] = TPointF{-1000, -500};
    ASSERT_TRUE(geo.FitToWindow(4000, 3000, 784, 565));
    const double left = geo.OffX() - 1000 * geo.Zoom();
    const double right = geo.OffX() + 4000 * geo.Zoom();
    EXPECT_NEAR(left, 784 - right, 1e-9);
    EXPECT_NEAR(right - left, 0.9 * 784, 1e-9);
    EXPECT_GT(geo.OffY() - 500 * geo.Zoom(), 565 * 0.05);

    // Turned a quarter, the rotated page is 3000 x 4000.
    TEditorGeometry turned = OnePage(4000, 3000, 90);
    ASSERT_TRUE(turned.FitToWindow(3000, 4000, 784, 565));
    EXPECT_DOUBLE_EQ(turned.Zoom(), 0.9 * (565 / 4000.0));

    EXPECT_FALSE(turned.FitToWindow(3000, 4000, 0, 565));
    EXPECT_FALSE(turned.FitToWindow(0, 4000, 784, 565));
    turned.SetIdx(-1);
    EXPECT_FALSE(turned.FitToWindow(3000, 4000, 784, 565));
}

TEST(EditorGeometry, ZoomButtonsScaleAboutTheCentreWithoutLimits) {
    TEditorGeometry geo = OnePage(100, 100);
    geo.ZoomIn(800, 600);
    EXPECT_DOUBLE_EQ(geo.Zoom(), 1.25);
    EXPECT_DOUBLE_EQ(geo.OffX(), -100);
    EXPECT_DOUBLE_EQ(geo.OffY(), -75);
    geo.ZoomOut(800, 600);
    EXPECT_DOUBLE_EQ(geo.Zoom(), 1);
    EXPECT_NEAR(geo.OffX(), 0, 1e-12);
    for (int i = 0; i < 21; ++i) {
        geo.ZoomIn(800, 600);
    }
    EXPECT_GT(geo.Zoom(), 100);
    for (int i = 0; i < 42; ++i) {
        geo.ZoomOut(800, 600);
    }
    EXPECT_LT(geo.Zoom(), 0.01);
}

TEST(EditorGeometry, WheelZoomsAboutTheMouseWithinLimits) {
    TEditorGeometry geo = OnePage(100, 100);
    EXPECT_FALSE(geo.WheelZoom(0, 100, 50));
    EXPECT_TRUE(geo.WheelZoom(120, 100, 50));
    EXPECT_DOUBLE_EQ(geo.Zoom(), 1.25);
    EXPECT_DOUBLE_EQ(geo.OffX(), -25);
    EXPECT_DOUBLE_EQ(geo.OffY(), -12.5);
    const TPointF under = geo.ScreenToImg(300, 200);
    geo.WheelZoom(-60, 300, 200); // half a notch back
    EXPECT_DOUBLE_EQ(geo.Zoom(), 1.25 / std::sqrt(1.25));
    ExpectPoint(geo.ScreenToImg(300, 200), under.X, under.Y);

    // Above 50 from the buttons, one notch either way lands on exactly 50.
    for (int i = 0; i < 21; ++i) {
        geo.ZoomIn(800, 600);
    }
    TEditorGeometry back = geo;
    geo.WheelZoom(120, 10, 10);
    EXPECT_EQ(geo.Zoom(), 50);
    back.WheelZoom(-120, 10, 10);
    EXPECT_EQ(back.Zoom(), 50);
    geo.SetView(0.01, 0, 0);
    geo.WheelZoom(120, 10, 10);
    EXPECT_EQ(geo.Zoom(), 0.02);
}

TEST(EditorGeometry, ZoomedOutToNothingADragStoresNoInfiniteCorners) {
    TEditorGeometry geo = OnePage(100, 100);
    for (int i = 0; i < 3500; ++i) {
        geo.ZoomOut(800, 600);
    }
    // The zoom buttons end in the smallest subnormal numbers, where screen to
    // image overflows: every mouse position maps to an infinite point.
    ASSERT_LT(geo.Zoom(), 1e-320);
    geo.SetView(geo.Zoom(), 0.5, 0.5);
    const TCorners before = Corners(geo);
    geo.MouseDown(0, 0);
    ASSERT_EQ(geo.Drag(), TDragMode::dmCorner);
    for (const TPoint& m : {TPoint{0, 0}, TPoint{5, 5}, TPoint{-3, 2}, TPoint{0, 0}}) {
        geo.MouseMove(m.X, m.Y);
        for (const TPointF& c : Corners(geo)) {
            ASSERT_TRUE(std::isfinite(c.X) && std::isfinite(c.Y));
        }
    }
    EXPECT_EQ(Corners(geo)[1], before[1]);
    // The wheel brings the zoom back into range.
    geo.MouseUp();
    EXPECT_TRUE(geo.WheelZoom(120, 10, 10));
    EXPECT_EQ(geo.Zoom(), 0.02);
    EXPECT_TRUE(std::isfinite(geo.OffX()));
}
