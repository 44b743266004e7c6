// The display scale: which values it takes, and how a screen pixel at each
// scale finds its cell and half, and a diagram rectangle its screen pixels.
#include <gtest/gtest.h>

#include <optional>

#include "editor/zoom.h"

namespace velmorin {
namespace {

TEST(ViewZoom, TakesAnyValueIntoTheRangeAndSteps) {
    const struct {
        int asked;
        int percent;
        int cell;
        int in;   // one step larger
        int out;  // one step smaller
    } cases[] = {
        {100, 100, 64, 125, 75},  {50, 50, 32, 75, 50},       {200, 200, 128, 200, 175}, {10, 50, 32, 75, 50},
        {-400, 50, 32, 75, 50},   {1000, 200, 128, 200, 175}, {110, 100, 64, 125, 75},   {113, 125, 80, 150, 100},
        {137, 125, 80, 150, 100}, {138, 150, 96, 175, 125},   {62, 50, 32, 75, 50},      {63, 75, 48, 100, 50},
    };
    for (const auto& c : cases) {
        const ViewZoom zoom(c.asked);
        EXPECT_EQ(zoom.percent(), c.percent) << c.asked;
        EXPECT_EQ(zoom.cellPixels(), c.cell) << c.asked;
        EXPECT_EQ(zoom.Stepped(1).percent(), c.in) << c.asked;
        EXPECT_EQ(zoom.Stepped(-1).percent(), c.out) << c.asked;
    }
    EXPECT_EQ(ViewZoom(50).Stepped(100).percent(), 200);
    EXPECT_EQ(ViewZoom(200).Stepped(-100).percent(), 50);
}

TEST(ViewZoom, AScreenPixelFindsItsCellAndHalfAtEveryScale) {
    // Screen pixels of the unscrolled, zoomed diagram.
    const struct {
        int percent;
        PixelPoint screen;
        std::optional<CellHit> hit;
    } cases[] = {
        {100, {64, 64}, CellHit{{1, 1}, -1, -1}},
        {100, {127, 127}, CellHit{{1, 1}, 1, 1}},
        {100, {95, 96}, CellHit{{1, 1}, -1, 1}},
        {200, {128, 128}, CellHit{{1, 1}, -1, -1}},
        {200, {191, 191}, CellHit{{1, 1}, -1, -1}},  // 95.5 diagram pixels: still the left, upper half
        {200, {192, 192}, CellHit{{1, 1}, 1, 1}},
        {200, {255, 255}, CellHit{{1, 1}, 1, 1}},
        {200, {256, 256}, CellHit{{2, 2}, -1, -1}},
        {200, {1151, 12415}, CellHit{{8, 96}, 1, 1}},  // the last editable cell's last pixel
        {200, {1152, 640}, std::nullopt},              // the right rail
        {200, {127, 640}, std::nullopt},               // the left rail
        {50, {32, 32}, CellHit{{1, 1}, -1, -1}},
        {50, {47, 48}, CellHit{{1, 1}, -1, 1}},
        {50, {48, 47}, CellHit{{1, 1}, 1, -1}},
        {50, {63, 63}, CellHit{{1, 1}, 1, 1}},
        {50, {64, 64}, CellHit{{2, 2}, -1, -1}},
        {50, {31, 40}, std::nullopt},
        {75, {47, 47}, std::nullopt},  // 62.7 diagram pixels: the rail
        {75, {48, 48}, CellHit{{1, 1}, -1, -1}},
        {75, {71, 72}, CellHit{{1, 1}, -1, 1}},
        {125, {119, 120}, CellHit{{1, 1}, -1, 1}},
        {125, {159, 159}, CellHit{{1, 1}, 1, 1}},
        {125, {160, 160}, CellHit{{2, 2}, -1, -1}},
        {150, {-1, 100}, std::nullopt},     // left of the diagram, not folded onto it
        {150, {100, 14640}, std::nullopt},  // below row 96
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ViewZoom(c.percent).HitAt(c.screen), c.hit)
            << c.percent << "% at " << c.screen.x << "," << c.screen.y;
    }
}

TEST(ViewZoom, CellEdgesMapBothWaysAndRectanglesCoverWhatTheyShow) {
    for (int percent = ViewZoom::MinPercent; percent <= ViewZoom::MaxPercent; percent += ViewZoom::StepPercent) {
        const ViewZoom zoom(percent);
        for (int cell = 0; cell <= 96; ++cell) {
            const int screen = cell * zoom.cellPixels();
            ASSERT_EQ(zoom.ToScreen(cell * CellPixels), screen) << percent;
            ASSERT_EQ(zoom.ToDiagram(screen), cell * CellPixels) << percent;
            ASSERT_LT(zoom.ToDiagram(screen - 1), cell * CellPixels) << percent;
        }
    }
    const struct {
        int percent;
        PixelRect diagram;
        PixelRect screen;
    } rects[] = {
        {100, {10, 20, 30, 40}, {10, 20, 30, 40}}, {200, {64, 128, 64, 64}, {128, 256, 128, 128}},
        {50, {64, 128, 64, 64}, {32, 64, 32, 32}}, {50, {1, 1, 1, 1}, {0, 0, 1, 1}},  // never shrinks to nothing
        {75, {10, 10, 11, 11}, {7, 7, 9, 9}},      {150, {-64, 0, 128, 128}, {-96, 0, 192, 192}},
    };
    for (const auto& r : rects) EXPECT_EQ(ViewZoom(r.percent).ToScreen(r.diagram), r.screen) << r.percent;
}

TEST(ZoomWheel, WholeNotchesAreStepsAndPartsAddUpUntilTheWheelTurnsBack) {
    ZoomWheel wheel;
    EXPECT_EQ(wheel.Steps(120), 1);
    EXPECT_EQ(wheel.Steps(-240), -2);
    EXPECT_EQ(wheel.Steps(40), 0);
    EXPECT_EQ(wheel.Steps(40), 0);
    EXPECT_EQ(wheel.Steps(50), 1);  // 130: a notch, 10 kept
    EXPECT_EQ(wheel.Steps(110), 1);
    EXPECT_EQ(wheel.Steps(60), 0);
    EXPECT_EQ(wheel.Steps(-60), 0);  // the turn back drops the 60 kept
    EXPECT_EQ(wheel.Steps(-60), -1);
    EXPECT_EQ(wheel.Steps(0), 0);
}

}  // namespace
}  // namespace velmorin
