// The keyboard: the hover cell as a cursor, Enter and Delete in it, and
// Shift+arrows for a block.
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace velmorin {
namespace {

using Keys = testing::EditorFixture;

TEST_F(Keys, ArrowsMoveTheCursorWithinTheEditableCellsAndKeepItVisible) {
    EXPECT_EQ(editor_.MoveCursor(Direction::Left, false).ensureVisible, CellRect({1, 1}));
    editor_.MoveCursor(Direction::Up, false);
    EXPECT_EQ(editor_.hoverCell(), (CellPos{1, 1}));
    for (int i = 0; i < 10; ++i) editor_.MoveCursor(Direction::Right, false);
    for (int i = 0; i < 100; ++i) editor_.MoveCursor(Direction::Down, false);
    EXPECT_EQ(editor_.hoverCell(), (CellPos{8, 96}));
    const ViewEffects fx = editor_.MoveCursor(Direction::Left, false);
    EXPECT_EQ(fx.ensureVisible, CellRect({7, 96}));
    EXPECT_EQ(fx.invalidate.size(), 2u);  // the old and the new cursor cell
}

TEST_F(Keys, EnterLaysAWholeWirePieceOrNothing) {
    struct Case {
        const char* what;
        int tool, row;
        int after;
        bool crossOut;
    };
    const Case cases[] = {
        {"horizontal", KindHorizontal, 6, KindHorizontal, false},
        {"vertical", KindVertical, 6, KindVertical, false},
        {"vertical on a block's first row", KindVertical, 5, ShapeEmpty, true},
        {"vertical on a block's last row: the lower half is refused", KindVertical, 8, ShapeEmpty, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetModel(model());
        editor_.InitialUpdate();
        editor_.ResetHover();
        for (int i = 1; i < c.row; ++i) editor_.MoveCursor(Direction::Down, false);
        tools_.SelectTool(c.tool);
        const ViewEffects press = editor_.PlaceAtCursor();
        EXPECT_EQ(kind(c.row, 1), c.after);
        EXPECT_EQ(press.crossOut.has_value(), c.crossOut);
        EXPECT_EQ(editor_.PlaceReleased().invalidate.size(), c.crossOut ? 1u : 0u);
        EXPECT_EQ(editor_.history().stepCount(), c.crossOut ? 0u : 1u);
    }
}

TEST_F(Keys, AltArrowsLayHalfPiecesAlongTheTool) {
    editor_.MoveCursor(Direction::Down, false);  // row 2
    tools_.SelectTool(KindHorizontal);
    EXPECT_TRUE(editor_.PlaceHalfAtCursor(Direction::Up).invalidate.empty());  // across the tool: nothing
    editor_.PlaceHalfAtCursor(Direction::Right);
    EXPECT_EQ(kind(2, 1), KindHalfRight);
    tools_.SelectTool(KindVertical);
    editor_.PlaceHalfAtCursor(Direction::Up);
    EXPECT_EQ(kind(2, 1), KindCornerUpRight);
    EXPECT_EQ(editor_.history().stepCount(), 2u);
}

TEST_F(Keys, EnterWithAnElementToolOpensTheDialogAndDeleteErases) {
    editor_.MoveCursor(Direction::Right, false);
    tools_.SelectTool(KindBoxLowerHalf);
    editor_.PlaceAtCursor();
    editor_.PlaceReleased();
    const ViewEffects tick = editor_.TimerTick();
    ASSERT_TRUE(tick.openParameters);
    EXPECT_EQ(tick.openParameters->cell, (CellPos{2, 1}));
    editor_.ParametersClosed(Accepted(ElementCtv, 76));
    ASSERT_EQ(kind(2, 2), KindBoxLowerHalf);

    editor_.MoveCursor(Direction::Down, false);  // on the lower half
    const ViewEffects erase = editor_.EraseAtCursor();
    EXPECT_EQ(erase.modified, true);
    EXPECT_EQ(kind(1, 2), ShapeEmpty);
    EXPECT_EQ(kind(2, 2), ShapeEmpty);
    EXPECT_EQ(tools_.currentTool(), KindBoxLowerHalf);  // Delete does not change the tool
}

TEST_F(Keys, ShiftArrowsSelectWithinOneBlock) {
    at(2, 1).shape = KindHorizontal;
    at(4, 2).shape = KindHorizontal;
    editor_.MoveCursor(Direction::Down, false);
    editor_.MoveCursor(Direction::Right, true);
    for (int i = 0; i < 5; ++i) editor_.MoveCursor(Direction::Down, true);  // stops at the block's last row
    EXPECT_EQ(editor_.selection().state, 1);
    EXPECT_EQ(editor_.selection().fixed, (CellPos{1, 2}));
    EXPECT_EQ(editor_.selection().moving, (CellPos{2, 4}));
    EXPECT_EQ(editor_.hoverCell(), (CellPos{2, 4}));
    const ViewEffects release = editor_.ShiftReleased();
    ASSERT_TRUE(release.runBlockDialog);
    editor_.BlockDialogClosed(BlockChoice::Copy);
    EXPECT_EQ(editor_.blockBuffer().count(), 6);
    editor_.SelectionPainted();
    EXPECT_EQ(editor_.selection().state, 0);

    // Ctrl+X while selecting takes the selection at once; no dialog follows.
    editor_.MoveCursor(Direction::Left, true);
    editor_.MoveCursor(Direction::Up, true);
    const ViewEffects cut = editor_.CutSelection();
    EXPECT_EQ(cut.modified, true);
    EXPECT_EQ(kind(4, 2), ShapeEmpty);
    EXPECT_EQ(kind(2, 1), KindHorizontal);
    EXPECT_FALSE(editor_.ShiftReleased().runBlockDialog);
    // Without a selection Ctrl+C takes the cursor cell, and Ctrl+V pastes at the cursor.
    editor_.MoveCursor(Direction::Up, false);  // row 2, column 1: the horizontal wire
    editor_.CopySelection();
    EXPECT_EQ(editor_.blockBuffer().count(), 1);
    for (int i = 0; i < 4; ++i) editor_.MoveCursor(Direction::Down, false);
    EXPECT_EQ(editor_.Paste().modified, true);
    EXPECT_EQ(kind(6, 1), KindHorizontal);
}

}  // namespace
}  // namespace velmorin
