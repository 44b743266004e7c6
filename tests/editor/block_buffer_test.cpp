// Copy, cut and paste of blocks, straight on the grid.
#include <gtest/gtest.h>

#include <vector>

#include "editor/block_buffer.h"
#include "editor/cell_content.h"

namespace velmorin {
namespace {

struct Grid {
    Grid() {
        ResetModel(model);
        // Anchors as the view lays them out, so a paste can be seen keeping them.
        for (int row = 0; row < GridRows; ++row) {
            for (int column = 0; column < GridColumns; ++column) {
                model.grid.at(row, column).x = 1000 * row + column;
                model.grid.at(row, column).y = -(1000 * row + column);
            }
        }
    }
    LadderCell& at(int row, int column) { return model.grid.at(row, column); }
    Grid& Put(int row, int column, int kind, int element = ElementNone, int index = Unchosen) {
        at(row, column).shape = kind;
        at(row, column).element = element;
        at(row, column).params[0][0] = static_cast<uint8_t>(index);
        return *this;
    }
    Grid& Box(int row, int column) {
        Put(row, column, KindBoxUpperHalf, ElementCtv, 76);
        return Put(row + 1, column, KindBoxLowerHalf, ElementCtv);
    }
    std::vector<CellPos> Copied() const {
        std::vector<CellPos> cells;
        for (int i = 0; i < buffer.count(); ++i) cells.push_back({buffer.entry(i).column, buffer.entry(i).row});
        return cells;
    }
    ProgramModel model;
    BlockBuffer buffer;
};

bool SameProgram(const ProgramModel& a, const ProgramModel& b) {
    for (size_t i = 0; i < a.grid.cells.size(); ++i) {
        if (!(ContentOf(a.grid.cells[i]) == ContentOf(b.grid.cells[i]))) return false;
    }
    return true;
}

TEST(BlockCopy, BoxHalvesGoOnlyWithTheirOtherHalf) {
    struct Case {
        const char* what;
        BlockBounds bounds;
        std::vector<CellPos> copied;  // box cells (column 4) in the buffer
    };
    // The box's upper half is at row 2, its lower half at row 3.
    const Case cases[] = {
        {"upper half on the selection's last row", {4, 1, 4, 2}, {{4, 1}}},
        {"lower half on the selection's first row", {4, 3, 4, 4}, {{4, 4}}},
        {"both halves", {4, 2, 4, 3}, {{4, 2}, {4, 3}}},
        {"upper half alone", {4, 2, 4, 2}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Grid copy;
        copy.Box(2, 4);
        CopyBlock(copy.model.grid, c.bounds, copy.buffer);
        EXPECT_EQ(copy.Copied(), c.copied);
        EXPECT_EQ(copy.buffer.bounds(), c.bounds);

        // A cut takes the box whole, even the half outside the selection.
        Grid cut;
        cut.Box(2, 4).Put(1, 4, KindHorizontal).Put(4, 4, KindHorizontal);
        CutBlock(cut.model.grid, c.bounds, cut.buffer);
        EXPECT_EQ(cut.Copied(), c.copied);
        for (int row = 1; row <= 4; ++row) {
            const bool inside = row >= c.bounds.lowRow && row <= c.bounds.highRow;
            EXPECT_EQ(cut.at(row, 4).shape, (inside || row == 2 || row == 3) ? ShapeEmpty : KindHorizontal) << row;
        }
        EXPECT_EQ(cut.at(2, 4).element, ElementNone);
        EXPECT_EQ(cut.at(3, 4).element, ElementNone);
    }
}

TEST(BlockPaste, EachRefusalARealSelectionCanMeetChangesNothing) {
    struct Case {
        const char* what;
        void (*draw)(Grid&);
        BlockBounds selection;
        CellPos target;
        int reason;
    };
    const Case cases[] = {
        {"two rows pasted on a block's last row",
         [](Grid& g) { g.Put(1, 1, KindContactOpen, ElementLd, 0).Put(2, 1, KindContactOpen, ElementLd, 1); },
         {1, 1, 1, 2},
         {1, 8},
         PasteBelowBlock},
        {"a wire going down into a block's last row",
         [](Grid& g) { g.Put(2, 3, KindVertical); },
         {3, 2, 3, 2},
         {3, 8},
         PasteDownIntoLastRow},
        {"an element over a wire coming up",
         [](Grid& g) { g.Put(1, 1, KindContactOpen, ElementLd, 0).Put(7, 3, KindVertical); },
         {1, 1, 1, 1},
         {3, 6},
         PasteElementOverUp},
        {"cells reaching past column 8",
         [](Grid& g) {
             g.Put(1, 1, KindContactOpen, ElementLd, 0).Put(1, 2, KindHorizontal).Put(1, 3, KindHorizontal);
         },
         {1, 1, 3, 1},
         {7, 5},
         PastePastColumn8},
        {"a contact onto an occupied cell",
         [](Grid& g) { g.Put(1, 1, KindContactOpen, ElementLd, 0).Put(5, 1, KindCoil, ElementOut, 8); },
         {1, 1, 1, 1},
         {1, 5},
         PasteOccupied},
        {"a jump into its own label's block",
         [](Grid& g) { g.Put(1, 8, KindConditional, ElementJp1, 2); },
         {8, 1, 8, 1},
         {8, 9},
         PasteJumpBackward},
        {"a jump past its label's block",
         [](Grid& g) { g.Put(1, 8, KindConditional, ElementJp1, 2); },
         {8, 1, 8, 1},
         {8, 13},
         PasteJumpBackward},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Grid g;
        c.draw(g);
        CopyBlock(g.model.grid, c.selection, g.buffer);
        const ProgramModel before = g.model;
        EXPECT_EQ(PasteBlock(g.model.grid, g.buffer, c.target), c.reason);
        EXPECT_TRUE(SameProgram(g.model, before));
    }
    // The same jump fits a block before its label.
    Grid g;
    g.Put(1, 8, KindConditional, ElementJp1, 2);
    CopyBlock(g.model.grid, {8, 1, 8, 1}, g.buffer);
    EXPECT_EQ(PasteBlock(g.model.grid, g.buffer, {8, 5}), PasteFits);
}

TEST(BlockPaste, CopiesEveryEntryKeepingTheTargetsAnchorsAndCanRepeat) {
    Grid g;
    // A rung with a seal-in branch and a counter: rows 1-2, columns 1-4.
    g.Put(1, 1, KindContactOpen, ElementLd, 0).Put(1, 2, KindTeeLeftRightDown).Box(1, 3);
    g.Put(1, 4, KindHorizontal).Put(2, 1, KindContactOpen, ElementLd, 8).Put(2, 2, KindCornerUpLeft);
    SetSlotText(g.at(1, 3).params[1], "7");
    CopyBlock(g.model.grid, {1, 1, 4, 2}, g.buffer);
    ASSERT_EQ(g.buffer.count(), 8);

    for (int block : {1, 5}) {
        const int top = BlockFirstRow(block);
        ASSERT_EQ(PasteBlock(g.model.grid, g.buffer, {1, top}), PasteFits) << block;
        for (int row = 1; row <= 2; ++row) {
            for (int column = 1; column <= 4; ++column) {
                const LadderCell& source = g.at(row, column);
                const LadderCell& target = g.at(top + row - 1, column);
                EXPECT_EQ(ContentOf(target), ContentOf(source)) << block << ":" << row << "," << column;
                EXPECT_EQ(target.x, 1000 * (top + row - 1) + column);
                EXPECT_EQ(target.y, -(1000 * (top + row - 1) + column));
            }
        }
    }
    // The buffer stays: the third paste lands on its own earlier copy.
    EXPECT_EQ(PasteBlock(g.model.grid, g.buffer, {1, 5}), PasteOccupied);
}

TEST(BlockPaste, EmptyCellsAreCopiedAndNeedAnEmptyPlace) {
    // A selection across the whole width that holds nothing: every cell is
    // an entry, so pasting it over anything is refused, and over nothing
    // changes nothing.
    Grid g;
    CopyBlock(g.model.grid, {1, 2, 8, 3}, g.buffer);
    EXPECT_EQ(g.buffer.count(), 16);
    const ProgramModel before = g.model;
    EXPECT_EQ(PasteBlock(g.model.grid, g.buffer, {1, 6}), PasteFits);
    EXPECT_TRUE(SameProgram(g.model, before));
    g.Put(7, 8, KindCoil, ElementOut, 8);
    EXPECT_EQ(PasteBlock(g.model.grid, g.buffer, {1, 6}), PasteOccupied);
}

}  // namespace
}  // namespace velmorin
