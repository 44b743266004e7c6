#include <gtest/gtest.h>

#include "editor/geometry.h"

namespace velmorin {
namespace {

TEST(Geometry, CellAtAcceptsColumnsOneToEightAndRowsOneToNinetySix) {
    struct Case {
        PixelPoint point;
        bool onCell;
        CellHit hit;
    };
    const Case cases[] = {
        {{64, 64}, true, {{1, 1}, -1, -1}},    // first pixel of the first editable cell
        {{95, 95}, true, {{1, 1}, -1, -1}},    // last pixel of its upper-left quarter
        {{96, 96}, true, {{1, 1}, 1, 1}},      // first pixel of the lower-right quarter
        {{575, 6207}, true, {{8, 96}, 1, 1}},  // last pixel of the last editable cell
        {{63, 100}, false, {}},                // left rail
        {{576, 100}, false, {}},               // right rail
        {{100, 63}, false, {}},                // header row 0
        {{100, 6208}, false, {}},              // below row 96
        {{-70, 100}, false, {}},               // left of the diagram is no cell, not a mirrored one
        {{100, -70}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        const auto hit = CellAt(c.point);
        ASSERT_EQ(hit.has_value(), c.onCell);
        if (c.onCell) {
            EXPECT_EQ(*hit, c.hit);
        }
    }
}

TEST(Geometry, BlocksAreFourRowsFromRowOne) {
    EXPECT_EQ(BlockOfRow(1), 0);
    EXPECT_EQ(BlockOfRow(4), 0);
    EXPECT_EQ(BlockOfRow(5), 1);
    EXPECT_EQ(BlockOfRow(96), 23);
    EXPECT_EQ(BlockLastRow(1), 8);
    for (int row = 1; row <= 96; ++row) {
        EXPECT_EQ(IsBlockFirstRow(row), row == BlockFirstRow(BlockOfRow(row))) << row;
        EXPECT_EQ(IsBlockLastRow(row), row == BlockLastRow(BlockOfRow(row))) << row;
    }
    EXPECT_FALSE(IsBlockFirstRow(0));
    EXPECT_FALSE(SameBlock(4, 5));
    EXPECT_TRUE(SameBlock(5, 8));
}

TEST(Geometry, RepaintSquaresAreCentredOnThePointOrTheAnchor) {
    // The anchor is the lower-left corner: cell (row 2, column 3) has it at (192, 192).
    EXPECT_EQ(CellAnchor({3, 2}), (PixelPoint{192, 192}));
    EXPECT_EQ(SquareAroundAnchor({3, 2}), (PixelRect{128, 128, 128, 128}));
    EXPECT_EQ(SquareAround({200, 150}), (PixelRect{136, 86, 128, 128}));
    // Either square covers the whole cell it was made for.
    const PixelRect cell = CellRect({3, 2});
    for (const PixelRect& square : {SquareAroundAnchor({3, 2}), SquareAround(CellCentre({3, 2}))}) {
        EXPECT_TRUE(square.contains({cell.x, cell.y}));
        EXPECT_TRUE(square.contains({cell.x + 63, cell.y + 63}));
    }
    EXPECT_EQ(CellsRect({4, 6}, {2, 5}), (PixelRect{128, 320, 192, 128}));
}

TEST(Geometry, ScrollingMovesOnlyAsFarAsNeeded) {
    const PixelSize view{640, 480};
    // Visible: no move; below: bottom edge aligned; above: top edge aligned.
    EXPECT_EQ(ScrollToShow(CellRect({1, 3}), {0, 0}, view), (PixelPoint{0, 0}));
    EXPECT_EQ(ScrollToShow(CellRect({1, 10}), {0, 0}, view), (PixelPoint{0, 704 - 480}));
    EXPECT_EQ(ScrollToShow(CellRect({1, 2}), {0, 500}, view), (PixelPoint{0, 128}));
    EXPECT_EQ(ScrollToShow(CellRect({8, 2}), {0, 128}, PixelSize{300, 480}), (PixelPoint{576 - 300, 128}));
}

}  // namespace
}  // namespace velmorin
