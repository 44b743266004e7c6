// The keyboard: the hover cell as a cursor, Enter and Delete in it, and
// Shift+arrows for a block.
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace velmorin {
namespace {

using Keys = testing::EditorFixture;

TEST_F(Keys, ArrowsMoveTheCursorWithinTheEditableCellsAndKeepItVisible) {
    EXPECT_EQ(editor_.MoveCursor(Direction::Up, false).ensureVisible, CellRect({1, 1}));
    for (int i = 0; i < 100; ++i) editor_.MoveCursor(i % 2 ? Direction::Right : Direction::Down, false);
    EXPECT_EQ(editor_.hoverCell(), (CellPos{8, 51}));
    for (int i = 0; i < 50; ++i) editor_.MoveCursor(Direction::Down, false);
    const ViewEffects fx = editor_.MoveCursor(Direction::Left, false);
    EXPECT_EQ(editor_.hoverCell(), (CellPos{7, 96}));
    EXPECT_EQ(fx.ensureVisible, CellRect({7, 96}));
    EXPECT_EQ(fx.invalidate.size(), 2u);  // the old and the new cursor cell
}

TEST_F(Keys, EnterLaysAWholeWirePieceOrNothingAndAltArrowsAHalf) {
    const struct {
        int tool, row, after;
    } cases[] = {
        {KindHorizontal, 6, KindHorizontal},
        {KindVertical, 6, KindVertical},
        {KindVertical, 5, ShapeEmpty},  // the upper half is refused on a block's first row
        {KindVertical, 8, ShapeEmpty},  // the lower half on its last row
    };
    for (const auto& c : cases) {
        Restart();
        for (int i = 1; i < c.row; ++i) editor_.MoveCursor(Direction::Down, false);
        tools_.SelectTool(c.tool);
        const bool refused = c.after == ShapeEmpty;
        EXPECT_EQ(editor_.PlaceAtCursor().crossOut.has_value(), refused) << c.tool << " row " << c.row;
        EXPECT_EQ(kind(c.row, 1), c.after) << c.tool << " row " << c.row;
        EXPECT_EQ(editor_.PlaceReleased().invalidate.size(), refused ? 1u : 0u);
        EXPECT_EQ(editor_.history().stepCount(), refused ? 0u : 1u);
    }
    EXPECT_TRUE(editor_.PlaceHalfAtCursor(Direction::Left).invalidate.empty());  // across the vertical tool
    EXPECT_EQ(editor_.PlaceHalfAtCursor(Direction::Up).modified, true);
    EXPECT_EQ(kind(8, 1), KindHalfUp);
}

TEST_F(Keys, EnterWithAnElementToolOpensTheDialogAndDeleteErases) {
    editor_.MoveCursor(Direction::Right, false);
    tools_.SelectTool(KindBoxLowerHalf);
    editor_.PlaceAtCursor();
    const ViewEffects tick = editor_.TimerTick();
    ASSERT_TRUE(tick.openParameters);
    EXPECT_EQ(tick.openParameters->cell, (CellPos{2, 1}));
    editor_.ParametersClosed(Accepted(ElementCtv, 76));
    editor_.MoveCursor(Direction::Down, false);  // on the lower half
    EXPECT_EQ(editor_.EraseAtCursor().modified, true);
    EXPECT_EQ(kind(1, 2), ShapeEmpty);
    EXPECT_EQ(kind(2, 2), ShapeEmpty);
    EXPECT_EQ(tools_.currentTool(), KindBoxLowerHalf);  // Delete leaves the tool alone
}

TEST_F(Keys, ShiftArrowsSelectWithinOneBlockAndCtrlKeysTakeTheSelection) {
    at(2, 1).shape = KindHorizontal;
    at(4, 2).shape = KindHorizontal;
    editor_.MoveCursor(Direction::Down, false);
    editor_.MoveCursor(Direction::Right, true);
    for (int i = 0; i < 5; ++i) editor_.MoveCursor(Direction::Down, true);  // stops at the block's last row
    EXPECT_EQ(editor_.selection().fixed, (CellPos{1, 2}));
    EXPECT_EQ(editor_.selection().moving, (CellPos{2, 4}));
    ASSERT_TRUE(editor_.ShiftReleased().runBlockDialog);
    editor_.BlockDialogClosed(BlockChoice::Copy);
    EXPECT_EQ(editor_.blockBuffer().count(), 6);
    editor_.SelectionPainted();

    editor_.MoveCursor(Direction::Left, true);
    editor_.MoveCursor(Direction::Up, true);
    EXPECT_EQ(editor_.CutSelection().modified, true);  // rows 3-4, columns 1-2, at once
    EXPECT_EQ(kind(4, 2), ShapeEmpty);
    EXPECT_EQ(kind(2, 1), KindHorizontal);
    EXPECT_FALSE(editor_.ShiftReleased().runBlockDialog);
    // Without a selection the keys take the cursor cell, and paste at the cursor.
    editor_.MoveCursor(Direction::Up, false);
    editor_.CopySelection();
    EXPECT_EQ(editor_.blockBuffer().count(), 1);
    for (int i = 0; i < 4; ++i) editor_.MoveCursor(Direction::Down, false);
    EXPECT_EQ(editor_.Paste().modified, true);
    EXPECT_EQ(kind(6, 1), KindHorizontal);
}

}  // namespace
}  // namespace velmorin
