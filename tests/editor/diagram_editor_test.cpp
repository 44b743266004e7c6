// The editing session: clicks, the deferred dialog and its commit or
// rollback, hover and block selection, the right click, and the document's
// modified flag.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/editor_messages.h"
#include "editor_fixture.h"

namespace velmorin {
namespace {

using Session = testing::EditorFixture;

bool Covers(const ViewEffects& fx, PixelPoint p) {
    return std::any_of(fx.invalidate.begin(), fx.invalidate.end(), [&](const PixelRect& r) { return r.contains(p); });
}

TEST_F(Session, CancelAfterPlacingOnAnEmptyCellLeavesItEmpty) {
    at(7, 3).shape = KindVertical;  // below the new contact: loses its up connection
    ClickWith(KindContactOpen, 6, 3);
    EXPECT_EQ(kind(6, 3), KindContactOpen);
    EXPECT_EQ(kind(7, 3), KindHalfDown);
    const ViewEffects tick = editor_.TimerTick();
    ASSERT_TRUE(tick.openParameters);
    EXPECT_EQ(tick.openParameters->cell, (CellPos{3, 6}));
    EXPECT_EQ(tick.openParameters->kind, KindContactOpen);
    EXPECT_EQ(tick.openParameters->element, ElementNone);
    const ViewEffects closed = editor_.ParametersClosed(Cancelled());
    EXPECT_TRUE(closed.wholeView);
    EXPECT_EQ(kind(6, 3), ShapeEmpty);
    EXPECT_EQ(kind(7, 3), KindVertical);  // the cell below is rolled back too
    EXPECT_FALSE(closed.modified);        // nothing changed in the end
    EXPECT_FALSE(editor_.CanUndo());
    // The timer has nothing more to do.
    EXPECT_FALSE(editor_.TimerTick().openParameters);
}

TEST_F(Session, ARollbackKeepsTheFixAboveAndMarksTheDocument) {
    at(5, 3).shape = KindVertical;
    Element(KindCoil, 6, 3, Cancelled());
    EXPECT_EQ(kind(6, 3), ShapeEmpty);
    EXPECT_EQ(kind(5, 3), KindHalfUp);  // the fix above stays, as a change of the diagram
    EXPECT_TRUE(editor_.CanUndo());
    EXPECT_EQ(editor_.Undo().modified, false);
    EXPECT_EQ(kind(5, 3), KindVertical);
}

TEST_F(Session, TwoRowBoxGetsItsElementOnBothHalvesOrRollsBoth) {
    at(7, 4).shape = KindHorizontal;  // the lower half takes the wire's place
    at(7, 4).element = ElementNone;
    ParameterResult ctv = Accepted(ElementCtv, 76);
    const ViewEffects ok = Element(KindBoxLowerHalf, 6, 4, ctv);
    EXPECT_EQ(ok.modified, true);
    EXPECT_EQ(kind(6, 4), KindBoxUpperHalf);
    EXPECT_EQ(kind(7, 4), KindBoxLowerHalf);
    EXPECT_EQ(at(6, 4).element, ElementCtv);
    EXPECT_EQ(at(7, 4).element, ElementCtv);
    EXPECT_EQ(at(6, 4).params[0][0], 76);

    at(11, 4).shape = KindHorizontal;
    Element(KindBoxLowerHalf, 10, 4, Cancelled());
    EXPECT_EQ(kind(10, 4), ShapeEmpty);
    EXPECT_EQ(kind(11, 4), KindHorizontal);
    // Accepted without an instruction is a cancel.
    Element(KindBoxLowerHalf, 10, 4, ParameterResult{true, ElementNone, {}});
    EXPECT_EQ(kind(10, 4), ShapeEmpty);
}

TEST_F(Session, AClickOnAContactWithTheCoilToolPicksUpTheContact) {
    Element(KindContactOpen, 2, 1, Accepted(ElementLd, 3));
    tools_.SelectTool(KindCoil);
    const ViewEffects press = editor_.LeftDown(Point(2, 1), false);
    editor_.LeftUp();
    EXPECT_TRUE(press.toolChanged);
    EXPECT_EQ(tools_.currentTool(), KindContactOpen);
    EXPECT_EQ(editor_.lastResult(), KindContactOpen);
    const ViewEffects tick = editor_.TimerTick();
    ASSERT_TRUE(tick.openParameters);
    EXPECT_EQ(tick.openParameters->element, ElementLd);
    EXPECT_EQ(tick.openParameters->params[0][0], 3);
    editor_.ParametersClosed(Accepted(ElementLdn, 5));
    EXPECT_EQ(at(2, 1).element, ElementLdn);  // the dialog decides the instruction
    EXPECT_EQ(at(2, 1).params[0][0], 5);
}

TEST_F(Session, WireAndEraseClicksFinishWithoutADialog) {
    const ViewEffects right = ClickWith(KindHorizontal, 3, 2, 1);
    EXPECT_EQ(kind(3, 2), KindHalfRight);
    EXPECT_EQ(right.modified, true);
    EXPECT_TRUE(Covers(right, Point(3, 2, 1)));
    Click(3, 2, -1);
    EXPECT_EQ(kind(3, 2), KindHorizontal);
    EXPECT_FALSE(editor_.TimerTick().openParameters);
    // The same half again changes nothing and records nothing.
    const ViewEffects again = Click(3, 2, -1);
    EXPECT_FALSE(again.modified);
    const ViewEffects erase = ClickWith(KindBlank, 3, 2);
    EXPECT_EQ(kind(3, 2), ShapeEmpty);
    EXPECT_EQ(erase.modified, true);
    EXPECT_EQ(editor_.history().stepCount(), 3u);
}

TEST_F(Session, ARefusedClickShowsTheCrossOutUntilRelease) {
    tools_.SelectTool(KindVertical);
    const ViewEffects press = editor_.LeftDown(Point(1, 3, 1, -1), false);
    EXPECT_EQ(press.crossOut, (CellPos{3, 1}));
    EXPECT_EQ(editor_.lastResult(), ResultRefused);
    EXPECT_FALSE(editor_.deferredOpen());
    const ViewEffects release = editor_.LeftUp();
    EXPECT_TRUE(Covers(release, Point(1, 3, 1, -1)));
    // Outside the editable cells a click does nothing but repaint.
    const ViewEffects rail = editor_.LeftDown({10, 100}, false);
    EXPECT_EQ(editor_.lastResult(), ResultNothing);
    EXPECT_EQ(rail.invalidate.size(), 1u);
    EXPECT_FALSE(rail.crossOut);
}

TEST_F(Session, NothingHappensWhileLiveOrBeforeTheFirstUpdate) {
    DiagramEditor fresh(model(), tools_);
    tools_.SelectTool(KindHorizontal);
    EXPECT_TRUE(fresh.LeftDown(Point(2, 2), false).invalidate.empty());
    editor_.SetLive(true);
    for (const ViewEffects& fx : {editor_.LeftDown(Point(2, 2), false), editor_.MouseMove(Point(3, 3), true),
                                  editor_.RightDown({100, 100}, {640, 480}, {0, 0}), editor_.PlaceAtCursor()}) {
        EXPECT_TRUE(fx.invalidate.empty());
        EXPECT_FALSE(fx.openPalette);
    }
    EXPECT_EQ(kind(2, 2), ShapeEmpty);
    EXPECT_EQ(editor_.hoverCell(), (CellPos{1, 1}));
}

TEST_F(Session, HoverAndDragSelectionStayInOneBlock) {
    const ViewEffects move = editor_.MouseMove(Point(6, 3), false);
    EXPECT_EQ(editor_.hoverCell(), (CellPos{3, 6}));
    EXPECT_TRUE(Covers(move, Point(6, 3)));
    EXPECT_TRUE(Covers(move, Point(1, 1)));
    EXPECT_EQ(kind(6, 3), ShapeEmpty);  // hovering leaves the model alone

    editor_.LeftDown(Point(6, 3), true);
    EXPECT_EQ(editor_.selection().state, 1);
    editor_.MouseMove(Point(8, 5), true);
    editor_.MouseMove(Point(10, 6), true);  // the next block: only the column follows
    EXPECT_EQ(editor_.selection().moving, (CellPos{6, 8}));
    editor_.MouseMove(Point(7, 7), false);  // Shift let go: the selection ends
    EXPECT_EQ(editor_.selection().state, -1);
    editor_.SelectionPainted();  // the button is still down: it is still handed on
    const ViewEffects release = editor_.LeftUp();
    ASSERT_TRUE(release.runBlockDialog);
    editor_.SelectionPainted();
    EXPECT_EQ(editor_.selection().state, 0);

    at(6, 3).shape = KindHorizontal;
    at(7, 7).shape = KindContactOpen;
    at(7, 7).element = ElementLd;
    const ViewEffects cut = editor_.BlockDialogClosed(BlockChoice::Cut);
    EXPECT_EQ(cut.modified, true);
    EXPECT_TRUE(cut.wholeView);
    EXPECT_EQ(kind(6, 3), ShapeEmpty);
    EXPECT_EQ(kind(7, 7), ShapeEmpty);
    EXPECT_EQ(editor_.blockBuffer().count(), 10);  // rows 6-7, columns 3-7
    // Pasted at the hover cell; a second paste there is refused with its reason.
    editor_.MouseMove(Point(9, 1), false);
    EXPECT_EQ(editor_.Paste().modified, true);
    EXPECT_EQ(kind(9, 1), KindHorizontal);
    EXPECT_EQ(kind(10, 5), KindContactOpen);
    EXPECT_EQ(editor_.Paste().message, "No se puede pegar el bloque: 9");
}

TEST_F(Session, ASecondRightClickOnTheSameCellCyclesTheWireTools) {
    const PixelSize view{640, 480};
    const PixelPoint origin{100, 50};
    const ViewEffects first = editor_.RightDown({130, 200}, view, origin);
    EXPECT_TRUE(first.openPalette);
    EXPECT_EQ(first.palettePosition, (PixelPoint{100 + 128 + 64, 50 + 192 - 64}));
    EXPECT_FALSE(first.toolChanged);
    int cycle[] = {KindHorizontal, KindVertical, KindBlank, KindHorizontal};
    for (int expected : cycle) {
        const ViewEffects again = editor_.RightDown({150, 250}, view, origin);  // same cell
        EXPECT_FALSE(again.openPalette);
        EXPECT_TRUE(again.paletteButtonsChanged);
        EXPECT_EQ(tools_.currentTool(), expected);
    }
    // A release forgets the position; near the right and bottom edges the palette moves to the other side.
    editor_.LeftUp();
    const ViewEffects edge = editor_.RightDown({590, 470}, {600, 480}, origin);
    EXPECT_EQ(edge.palettePosition, (PixelPoint{100 + 576 - 64, 50 + 448 - 128}));
    EXPECT_FALSE(edge.toolChanged);
    // A plain left click closes the palette.
    EXPECT_TRUE(editor_.LeftDown(Point(2, 2), false).closePalette);
    EXPECT_FALSE(editor_.paletteOpen());
}

}  // namespace
}  // namespace velmorin
