// Copy, cut and paste of blocks, straight on the grid.
#include <gtest/gtest.h>

#include <vector>

#include "editor/block_buffer.h"
#include "editor/cell_content.h"

namespace velmorin {
namespace {

struct Grid {
    Grid() { ResetModel(model); }
    LadderCell& at(int row, int column) { return model.grid.at(row, column); }
    Grid& Put(int row, int column, int kind, int element = ElementNone, int index = Unchosen) {
        at(row, column).shape = kind;
        at(row, column).element = element;
        at(row, column).params[0][0] = static_cast<uint8_t>(index);
        return *this;
    }
    Grid& Box(int row, int column) {  // a counter on rows `row` and `row` + 1
        Put(row, column, KindBoxUpperHalf, ElementCtv, 76);
        return Put(row + 1, column, KindBoxLowerHalf, ElementCtv);
    }
    std::vector<int> CopiedRows() const {
        std::vector<int> rows;
        for (int i = 0; i < buffer.count(); ++i) rows.push_back(buffer.entry(i).row);
        return rows;
    }
    bool Unchanged(const ProgramModel& before) const {
        for (size_t i = 0; i < before.grid.cells.size(); ++i) {
            if (!(ContentOf(before.grid.cells[i]) == ContentOf(model.grid.cells[i]))) return false;
        }
        return true;
    }
    ProgramModel model;
    BlockBuffer buffer;
};

TEST(BlockCopy, BoxHalvesGoOnlyWithTheirOtherHalfAndACutTakesBoth) {
    // Column 4: a wire on row 1, the box on rows 2 and 3, a wire on row 4.
    const struct {
        const char* what;
        int lowRow, highRow;
        std::vector<int> copiedRows;
    } cases[] = {
        {"upper half on the selection's last row", 1, 2, {1}},
        {"lower half on the selection's first row", 3, 4, {4}},
        {"both halves", 2, 3, {2, 3}},
        {"the upper half alone", 2, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Grid g;
        g.Put(1, 4, KindHorizontal).Box(2, 4).Put(4, 4, KindHorizontal);
        const BlockBounds bounds{4, c.lowRow, 4, c.highRow};
        CopyBlock(g.model.grid, bounds, g.buffer);
        EXPECT_EQ(g.CopiedRows(), c.copiedRows);
        CutBlock(g.model.grid, bounds, g.buffer);
        EXPECT_EQ(g.CopiedRows(), c.copiedRows);
        EXPECT_EQ(g.buffer.bounds(), bounds);
        for (int row = 1; row <= 4; ++row) {
            const bool gone = (row >= c.lowRow && row <= c.highRow) || row == 2 || row == 3;
            EXPECT_EQ(g.at(row, 4).shape, gone ? ShapeEmpty : KindHorizontal) << row;
            EXPECT_TRUE(!gone || g.at(row, 4).element == ElementNone) << row;
        }
    }
}

TEST(BlockPaste, EachRefusalARealSelectionCanMeetChangesNothing) {
    // Block 0 holds what is copied, block 1 what is in the way.
    Grid program;
    program.Put(1, 1, KindContactOpen, ElementLd, 0).Put(2, 1, KindContactOpen, ElementLd, 1).Put(1, 3, 13);
    program.Put(2, 3, KindVertical).Put(1, 8, KindConditional, ElementJp1, 2);  // jumps to block 2
    program.Put(5, 1, KindCoil, ElementOut, 8).Put(7, 3, KindVertical).Put(7, 8, KindCoil, ElementOut, 9);
    // clang-format off
    const struct {
        const char* what;
        BlockBounds selection;
        CellPos target;
        int reason;
    } cases[] = {
        {"two rows pasted on a block's last row", {1, 1, 1, 2}, {1, 8}, PasteBelowBlock},
        {"a wire going down into a block's last row", {3, 2, 3, 2}, {3, 8}, PasteDownIntoLastRow},
        {"an element over a wire coming up", {1, 1, 1, 1}, {3, 6}, PasteElementOverUp},
        {"cells reaching past column 8", {1, 1, 3, 1}, {7, 5}, PastePastColumn8},
        {"a contact onto an occupied cell", {1, 1, 1, 1}, {1, 5}, PasteOccupied},
        {"empty cells over occupied ones", {1, 3, 8, 4}, {1, 6}, PasteOccupied},
        {"a jump into its label's block", {8, 1, 8, 1}, {8, 9}, PasteJumpBackward},
        {"a jump past its label's block", {8, 1, 8, 1}, {8, 13}, PasteJumpBackward},
        {"the same jump before its label", {8, 1, 8, 1}, {8, 5}, PasteFits},
    };
    // clang-format on
    for (const auto& c : cases) {
        Grid g = program;
        CopyBlock(g.model.grid, c.selection, g.buffer);
        EXPECT_EQ(PasteBlock(g.model.grid, g.buffer, c.target), c.reason) << c.what;
        EXPECT_TRUE(c.reason == PasteFits || g.Unchanged(program.model)) << c.what;
    }
}

TEST(BlockPaste, CopiesEveryEntryAndCanRepeat) {
    // Rows 1-2, columns 1-4: a seal-in rung feeding a counter.
    Grid g;
    g.Put(1, 1, KindContactOpen, ElementLd, 0).Put(1, 2, KindTeeLeftRightDown).Box(1, 3).Put(1, 4, 13);
    g.Put(2, 1, KindContactOpen, ElementLd, 8).Put(2, 2, KindCornerUpLeft);
    SetSlotText(g.at(1, 3).params[1], "7");
    CopyBlock(g.model.grid, {1, 1, 4, 2}, g.buffer);
    ASSERT_EQ(g.buffer.count(), 8);
    for (int top : {5, 21}) {
        ASSERT_EQ(PasteBlock(g.model.grid, g.buffer, {1, top}), PasteFits) << top;
        for (int row = 0; row < 2; ++row) {
            for (int column = 1; column <= 4; ++column) {
                EXPECT_EQ(ContentOf(g.at(top + row, column)), ContentOf(g.at(1 + row, column)));
            }
        }
    }
    // The buffer stays: a third paste meets the first copy.
    EXPECT_EQ(PasteBlock(g.model.grid, g.buffer, {1, 5}), PasteOccupied);
}

}  // namespace
}  // namespace velmorin
