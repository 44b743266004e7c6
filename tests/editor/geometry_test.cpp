#include <gtest/gtest.h>

#include "editor/geometry.h"

namespace velmorin {
namespace {

TEST(Geometry, CellAtAcceptsColumnsOneToEightAndRowsOneToNinetySix) {
    const struct {
        PixelPoint point;
        std::optional<CellHit> hit;
    } cases[] = {
        {{64, 64}, CellHit{{1, 1}, -1, -1}},
        {{95, 95}, CellHit{{1, 1}, -1, -1}},
        {{96, 96}, CellHit{{1, 1}, 1, 1}},
        {{575, 6207}, CellHit{{8, 96}, 1, 1}},
        {{63, 100}, {}},
        {{576, 100}, {}},
        {{100, 63}, {}},
        {{100, 6208}, {}},
        {{-70, 100}, {}},  // left of the diagram is no cell, not a mirrored one
    };
    for (const auto& c : cases) EXPECT_EQ(CellAt(c.point), c.hit) << c.point.x << "," << c.point.y;
}

TEST(Geometry, BlocksSquaresAndScrolling) {
    for (int row = 1; row <= 96; ++row) {
        EXPECT_EQ(IsBlockFirstRow(row), row % 4 == 1);
        EXPECT_EQ(IsBlockLastRow(row), row % 4 == 0);
    }
    EXPECT_EQ(BlockLastRow(1), 8);
    EXPECT_TRUE(SameBlock(5, 8) && !SameBlock(4, 5));
    // Repaint squares are 128 pixels centred on the anchor (lower-left corner) or the point.
    EXPECT_EQ(SquareAroundAnchor({3, 2}), (PixelRect{128, 128, 128, 128}));
    EXPECT_EQ(SquareAround({200, 150}), (PixelRect{136, 86, 128, 128}));
    EXPECT_EQ(CellsRect({4, 6}, {2, 5}), (PixelRect{128, 320, 192, 128}));
    // Scrolling moves only as far as needed to show the cursor cell.
    const PixelSize view{300, 480};
    EXPECT_EQ(ScrollToShow(CellRect({1, 3}), {0, 0}, view), (PixelPoint{0, 0}));
    EXPECT_EQ(ScrollToShow(CellRect({8, 10}), {0, 0}, view), (PixelPoint{576 - 300, 704 - 480}));
    EXPECT_EQ(ScrollToShow(CellRect({1, 2}), {100, 500}, view), (PixelPoint{64, 128}));
}

// A dialog beside what it is about, on a 1000 x 800 screen, 8 pixels apart.
TEST(Geometry, AWindowGoesBesideItsTargetWhereverThereIsRoom) {
    const PixelRect screen{0, 0, 1000, 800};
    const PixelSize dialog{300, 200};
    const struct {
        const char* what;
        PixelRect target;
        PixelPoint at;
    } cases[] = {
        {"right of it", {100, 100, 64, 64}, {172, 100}},
        {"left of it near the right edge", {900, 100, 64, 64}, {592, 100}},
        {"kept on the screen below its top", {100, 700, 64, 64}, {172, 600}},
        {"below a band as wide as the screen", {0, 100, 1000, 64}, {0, 172}},
        {"above a band at the bottom", {0, 700, 1000, 64}, {0, 492}},
        {"covering least where nothing is free", {0, 0, 1000, 700}, {0, 600}},
    };
    for (const auto& c : cases) EXPECT_EQ(PlaceBeside(c.target, dialog, screen), c.at) << c.what;
    // A window larger than the screen starts at its corner.
    EXPECT_EQ(PlaceBeside({10, 10, 64, 64}, {1200, 900}, {50, 20, 1000, 800}), (PixelPoint{50, 20}));
}

}  // namespace
}  // namespace velmorin
