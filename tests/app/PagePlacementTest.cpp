#include <gtest/gtest.h>

#include "pages/PagePlacement.h"

using Orvix::CRect;

// The pages' layout is given for a 780-pixel-high window; the placement moves
// it to the page's corner and rounds every scaled value to the nearest pixel.
TEST(PagePlacement, PositionsAreScaledFromThePageCornerAndRounded) {
    const PagePlacement at(CRect(200, 50, 1200, 800), 1.25);
    EXPECT_EQ(at.Len(10), 13);  // 12.5 rounds away from zero
    EXPECT_EQ(at.Len(9), 11);   // 11.25
    EXPECT_EQ(at.X(40), 250);
    EXPECT_EQ(at.Y(75), 144);  // 93.75
    EXPECT_EQ(at.Edges(40, 75, 300, 420), CRect(250, 144, 575, 575));
    EXPECT_EQ(at.Edges(CRect(40, 75, 300, 420)), at.Edges(40, 75, 300, 420));

    const PagePlacement unscaled(CRect(200, 50, 1200, 800), 1.0);
    EXPECT_EQ(unscaled.Edges(40, 75, 300, 420), CRect(240, 125, 500, 470));
}

// A box scales its size on its own: its far edges can differ by a pixel from
// the same rectangle given by its edges, which is what keeps drawn sizes even.
TEST(PagePlacement, ABoxScalesItsSizeApartFromItsCorner) {
    const PagePlacement at(CRect(0, 0, 1000, 700), 0.9);
    const CRect box = at.Box(5, 5, 5, 5);  // corner 4.5 -> 5, size 4.5 -> 5
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    EXPECT_EQ(at.Edges(5, 5, 10, 10), CRect(5, 5, 9, 9));
    EXPECT_EQ(box.Width(), at.Len(5));
}
