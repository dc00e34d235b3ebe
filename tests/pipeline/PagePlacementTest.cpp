// Placing a page image on an A4 page.
#include "pipeline/PageProcessing.h"

#include <gtest/gtest.h>

using namespace bitonix;

TEST(PagePlacement, FitsWidthOrHeightAndCentres) {
    const struct {
        std::uint32_t w, h;
        int W, H, X, Y;
    } cases[] = {
        {2480, 3508, 595, 842, 0, 0},  {3508, 2480, 595, 421, 0, 210},
        {1000, 2000, 421, 842, 87, 0}, {1000, 1000, 595, 595, 0, 123},
        {1, 10000, 1, 842, 297, 0},
    };
    for (const auto& c : cases) {
        const TPagePlacement p = PlaceOnPage(c.w, c.h, KA4Page);
        EXPECT_EQ((std::array{p.W, p.H, p.X, p.Y}), (std::array{c.W, c.H, c.X, c.Y}))
            << c.w << "x" << c.h;
    }
}
