// The editing session: clicks, the deferred dialog and its commit or
// rollback, hover and block selection, the right click, the modified flag.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "editor_fixture.h"

namespace velmorin {
namespace {

using Session = testing::EditorFixture;

bool Covers(const ViewEffects& fx, PixelPoint p) {
    return std::any_of(fx.invalidate.begin(), fx.invalidate.end(), [&](const PixelRect& r) { return r.contains(p); });
}

struct Cell {
    int row, column, kind;
};

TEST_F(Session, TheDialogCommitsOrRollsBackTheClick) {
    const ParameterResult cancel{}, noInstruction{true, ElementNone, {}};
    const struct {
        const char* what;
        std::vector<Cell> before;
        int tool, row, column;
        ParameterResult answer;
        std::vector<Cell> after;
        std::optional<bool> modified;
    } cases[] = {
        {"cancel after placing on an empty cell", {{7, 3, 20}}, 14, 6, 3, cancel, {{6, 3, 29}, {7, 3, 20}}, {}},
        {"cancel keeps the fix above", {{5, 3, 20}}, 22, 6, 3, cancel, {{6, 3, 29}, {5, 3, 11}}, true},
        {"accepted without an instruction", {}, 15, 6, 3, noInstruction, {{6, 3, 29}}, {}},
        {"two-row box accepted", {{7, 4, 13}}, 2, 6, 4, Accepted(ElementCtv, 76), {{6, 4, 3}, {7, 4, 2}}, true},
        {"two-row box cancelled", {{7, 4, 13}}, 2, 6, 4, cancel, {{6, 4, 29}, {7, 4, 13}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        for (const Cell& cell : c.before) at(cell.row, cell.column).shape = cell.kind;
        ClickWith(c.tool, c.row, c.column);
        const ViewEffects tick = editor_.TimerTick();
        ASSERT_TRUE(tick.openParameters);
        EXPECT_EQ(tick.openParameters->cell, (CellPos{c.column, c.row}));
        EXPECT_EQ(tick.openParameters->kind, kind(c.row, c.column));
        const ViewEffects closed = editor_.ParametersClosed(c.answer);
        EXPECT_TRUE(closed.wholeView);
        EXPECT_EQ(closed.modified, c.modified);
        for (const Cell& cell : c.after) EXPECT_EQ(kind(cell.row, cell.column), cell.kind);
        if (c.answer.element == ElementCtv) {
            EXPECT_EQ(at(c.row + 1, c.column).element, ElementCtv);  // both halves carry the element
            EXPECT_EQ(at(c.row, c.column).params[0][0], 76);
        }
        EXPECT_FALSE(editor_.TimerTick().openParameters);
    }
}

TEST_F(Session, AClickOnAContactWithTheCoilToolPicksUpTheContact) {
    Element(KindContactOpen, 2, 1, Accepted(ElementLd, 3));
    EXPECT_TRUE(ClickWith(KindCoil, 2, 1).toolChanged);
    EXPECT_EQ(tools_.currentTool(), KindContactOpen);
    const ViewEffects tick = editor_.TimerTick();
    ASSERT_TRUE(tick.openParameters);
    EXPECT_EQ(tick.openParameters->element, ElementLd);
    EXPECT_EQ(tick.openParameters->params[0][0], 3);
    EXPECT_FALSE(editor_.ParametersClosed(Accepted(ElementLd, 3)).modified);  // nothing changed
}

TEST_F(Session, WireClicksFinishAtOnceAndRefusalsCrossOutUntilRelease) {
    const ViewEffects right = ClickWith(KindHorizontal, 3, 2, 1);
    EXPECT_EQ(kind(3, 2), KindHalfRight);
    EXPECT_EQ(right.modified, true);
    EXPECT_TRUE(Covers(right, Point(3, 2)));
    ClickWith(KindHorizontal, 3, 2, -1);
    EXPECT_EQ(kind(3, 2), KindHorizontal);  // half lines become a full line
    EXPECT_FALSE(ClickWith(KindHorizontal, 3, 2, -1).modified);
    EXPECT_FALSE(editor_.TimerTick().openParameters);
    EXPECT_EQ(editor_.history().stepCount(), 2u);

    tools_.SelectTool(KindVertical);
    EXPECT_EQ(editor_.LeftDown(Point(1, 3, 1, -1), false).crossOut, (CellPos{3, 1}));
    EXPECT_TRUE(Covers(editor_.LeftUp(), Point(1, 3, 1, -1)));  // the mark goes
    EXPECT_FALSE(editor_.LeftDown({10, 100}, false).crossOut);  // the rail: nothing
    editor_.SetLive(true);
    EXPECT_TRUE(ClickWith(KindHorizontal, 4, 4).invalidate.empty());
    EXPECT_TRUE(editor_.MouseMove(Point(5, 5), false).invalidate.empty());
    EXPECT_EQ(kind(4, 4), ShapeEmpty);
}

TEST_F(Session, HoverAndDragSelectionStayInOneBlock) {
    const ViewEffects move = editor_.MouseMove(Point(6, 3), false);
    EXPECT_TRUE(Covers(move, Point(6, 3)) && Covers(move, Point(1, 1)));  // new and old hover cell
    EXPECT_EQ(kind(6, 3), ShapeEmpty);
    at(6, 3).shape = KindHorizontal;
    at(7, 7).shape = KindContactOpen;
    at(7, 7).element = ElementLd;

    editor_.LeftDown(Point(6, 3), true);
    editor_.MouseMove(Point(10, 6), true);  // the next block: only the column follows
    EXPECT_EQ(editor_.selection().moving, (CellPos{6, 6}));
    editor_.MouseMove(Point(7, 7), false);  // Shift let go: the selection ends ...
    EXPECT_EQ(editor_.selection().state, -1);
    editor_.SelectionPainted();
    ASSERT_TRUE(editor_.LeftUp().runBlockDialog);  // ... and still goes to the dialog,
    editor_.SelectionPainted();
    EXPECT_EQ(editor_.selection().state, 1);  // drawn while the dialog asks about it
    const ViewEffects cut = editor_.BlockDialogClosed(BlockChoice::Cut);
    EXPECT_EQ(editor_.selection().state, -1);  // and gone with the next paint
    editor_.SelectionPainted();
    EXPECT_EQ(editor_.selection().state, 0);
    EXPECT_EQ(cut.modified, true);
    EXPECT_EQ(kind(6, 3), ShapeEmpty);
    EXPECT_EQ(kind(7, 7), ShapeEmpty);
    EXPECT_EQ(editor_.blockBuffer().count(), 10);  // rows 6-7, columns 3-7

    editor_.MouseMove(Point(9, 1), false);  // pasted at the hover cell
    EXPECT_EQ(editor_.Paste().modified, true);
    EXPECT_EQ(kind(9, 1), KindHorizontal);
    EXPECT_EQ(kind(10, 5), KindContactOpen);
    EXPECT_EQ(editor_.Paste().message, "No se puede pegar el bloque: 9");
}

// A click waits for its parameter dialog for 200 ms. Whatever edit comes
// meanwhile first has that dialog opened and answered, and only then does
// its own work: no element is left without an instruction and no click is lost.
TEST_F(Session, AnEditWithinTheDialogsDelayHasTheEarlierClickAnsweredFirst) {
    const struct {
        const char* what;
        bool asked;  // the timer has ticked and the dialog is on its way
        ViewEffects (*event)(DiagramEditor&);
        int row, column, kind;  // what the event itself did, once let through
    } cases[] = {
        {"a second element click", false, [](DiagramEditor& e) { return e.LeftDown(Point(1, 3), false); }, 1, 3,
         KindContactOpen},
        {"a second click after the timer", true, [](DiagramEditor& e) { return e.LeftDown(Point(1, 3), false); }, 1, 3,
         KindContactOpen},
        {"Enter", false, [](DiagramEditor& e) { return e.PlaceAtCursor(); }, 9, 2, KindContactOpen},
        {"Delete", true, [](DiagramEditor& e) { return e.EraseAtCursor(); }, 9, 2, ShapeEmpty},
        {"paste", false, [](DiagramEditor& e) { return e.Paste(); }, 9, 2, KindHorizontal},
        {"copy", true, [](DiagramEditor& e) { return e.CopySelection(); }, 9, 2, ShapeEmpty},
        {"redo", false, [](DiagramEditor& e) { return e.Redo(); }, 9, 2, ShapeEmpty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        at(5, 5).shape = KindHorizontal;
        editor_.MouseMove(Point(5, 5), false);
        editor_.CopySelection();
        editor_.MouseMove(Point(9, 2), false);
        ClickWith(KindContactOpen, 1, 1);
        if (c.asked) ASSERT_TRUE(editor_.TimerTick().openParameters);

        const ViewEffects waits = c.event(editor_);
        ASSERT_TRUE(waits.settleFirst);
        EXPECT_EQ(waits.settleFirst->cell, (CellPos{1, 1}));
        EXPECT_FALSE(waits.modified);
        EXPECT_EQ(kind(1, 3), ShapeEmpty);
        EXPECT_EQ(kind(9, 2), ShapeEmpty);
        editor_.ParametersClosed(Accepted(ElementLd, 3));

        const ViewEffects done = c.event(editor_);
        EXPECT_FALSE(done.settleFirst);
        EXPECT_EQ(at(1, 1).element, ElementLd);
        EXPECT_EQ(kind(c.row, c.column), c.kind);
        // A new element click waits for its own dialog in turn.
        const ViewEffects tick = editor_.TimerTick();
        ASSERT_EQ(tick.openParameters.has_value(), c.kind == KindContactOpen);
        if (tick.openParameters) EXPECT_EQ(tick.openParameters->cell, (CellPos{c.column, c.row}));
    }

    // Undo right after a click takes the click back whole: no step is left
    // that a redo could bring back as an element without an instruction.
    Restart();
    ClickWith(KindContactOpen, 1, 1);
    EXPECT_FALSE(editor_.Undo().settleFirst);
    EXPECT_EQ(kind(1, 1), ShapeEmpty);
    EXPECT_FALSE(editor_.CanRedo());
    editor_.Redo();
    EXPECT_EQ(kind(1, 1), ShapeEmpty);
    EXPECT_FALSE(editor_.TimerTick().openParameters);
}

TEST_F(Session, ASecondRightClickOnTheSameCellCyclesTheWireTools) {
    const PixelPoint origin{100, 50};
    const ViewEffects first = editor_.RightDown({130, 200}, {640, 480}, origin);
    EXPECT_TRUE(first.openPalette);
    EXPECT_EQ(first.palettePosition, (PixelPoint{100 + 128 + 64, 50 + 192 - 64}));  // right of and above the cell
    for (int expected : {KindHorizontal, KindVertical, KindBlank, KindHorizontal}) {
        const ViewEffects again = editor_.RightDown({150, 250}, {640, 480}, origin);
        EXPECT_FALSE(again.openPalette);
        EXPECT_TRUE(again.paletteButtonsChanged);
        EXPECT_EQ(tools_.currentTool(), expected);
    }
    editor_.LeftUp();  // forgets the position; near the edges the palette goes left and higher
    const ViewEffects edge = editor_.RightDown({590, 470}, {600, 480}, origin);
    EXPECT_EQ(edge.palettePosition, (PixelPoint{100 + 576 - 64, 50 + 448 - 128}));
    EXPECT_FALSE(edge.toolChanged);
    EXPECT_TRUE(editor_.LeftDown(Point(2, 2), false).closePalette);
}

}  // namespace
}  // namespace velmorin
