// Undo and redo through the editing session, measured by the bytes a save
// would write.
#include <gtest/gtest.h>

#include <vector>

#include "editor_fixture.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using History = testing::EditorFixture;

TEST_F(History, UndoToTheStartAndRedoGiveTheSameFiles) {
    std::vector<std::vector<uint8_t>> states{EncodeSourceFile(model())};
    auto record = [&] { states.push_back(EncodeSourceFile(model())); };

    // A contact whose operand gets a new name, wires, a jump whose label is
    // renamed, a two-row box, an erase, a cut and a paste.
    Fill(KindContactOpen, 1, 1, [](ParameterSession& d) {
        d.ChooseRow(2);
        d.SetText(0, "arranque");
    });
    record();
    ClickWith(KindHorizontal, 1, 2, -1);
    record();
    Click(1, 2, 1);
    record();
    Fill(KindConditional, 1, 3, [](ParameterSession& d) { d.SetText(0, "salto"); });
    record();
    Element(KindBoxLowerHalf, 2, 5, Accepted(ElementCtv, 77));
    record();
    ClickWith(KindBlank, 1, 2);
    record();
    editor_.LeftDown(Point(1, 1), true);
    editor_.MouseMove(Point(2, 5), true);
    editor_.LeftUp();
    editor_.BlockDialogClosed(BlockChoice::Cut);
    record();
    editor_.SelectionPainted();
    editor_.MouseMove(Point(1, 2), false);
    editor_.Paste();
    record();
    EXPECT_EQ(FieldText(model().aliases[2].alias), "arranque");
    EXPECT_EQ(FieldText(model().labels[1].alias), "salto");
    EXPECT_EQ(at(1, 4).element, ElementIf0);
    ASSERT_EQ(editor_.history().stepCount(), states.size() - 1);

    for (size_t i = states.size() - 1; i > 0; --i) {
        const ViewEffects fx = editor_.Undo();
        EXPECT_TRUE(fx.wholeView);
        EXPECT_EQ(fx.modified, i - 1 != 0);
        EXPECT_EQ(EncodeSourceFile(model()), states[i - 1]) << "undo to state " << i - 1;
    }
    EXPECT_FALSE(editor_.CanUndo());
    for (size_t i = 1; i < states.size(); ++i) {
        editor_.Redo();
        EXPECT_EQ(EncodeSourceFile(model()), states[i]) << "redo to state " << i;
    }
    EXPECT_FALSE(editor_.CanRedo());
}

TEST_F(History, ModifiedFollowsTheSavedState) {
    ClickWith(KindHorizontal, 3, 3, 1);
    ClickWith(KindHorizontal, 3, 4, 1);
    editor_.MarkSaved();
    EXPECT_EQ(editor_.Undo().modified, true);
    EXPECT_EQ(editor_.Redo().modified, false);  // back at the save
    ClickWith(KindHorizontal, 3, 5, 1);
    EXPECT_EQ(editor_.Undo().modified, false);
    // A new edit after undoing past the save makes the saved state unreachable.
    editor_.Undo();
    EXPECT_EQ(ClickWith(KindHorizontal, 3, 6, 1).modified, true);
    EXPECT_FALSE(editor_.CanRedo());
    while (editor_.CanUndo()) EXPECT_EQ(editor_.Undo().modified, true);
    // New and Open start over: nothing to undo, and the program counts as saved.
    editor_.InitialUpdate();
    EXPECT_FALSE(editor_.CanUndo());
    EXPECT_EQ(ClickWith(KindHorizontal, 4, 4, 1).modified, true);
    EXPECT_EQ(editor_.Undo().modified, false);
}

TEST_F(History, KeepsTheLatestThousandSteps) {
    // Every click toggles one cell between a right half line and empty.
    tools_.SelectTool(KindHorizontal);
    const int edits = static_cast<int>(EditHistory::DefaultLimit) + 20;
    for (int i = 0; i < edits; ++i) {
        tools_.SelectTool(i % 2 == 0 ? KindHorizontal : KindBlank);
        Click(5, 5, 1);
    }
    EXPECT_EQ(editor_.history().stepCount(), EditHistory::DefaultLimit);
    int undone = 0;
    while (editor_.CanUndo()) {
        EXPECT_EQ(editor_.Undo().modified, true);  // the saved empty diagram lies beyond the oldest step
        ++undone;
    }
    EXPECT_EQ(undone, static_cast<int>(EditHistory::DefaultLimit));
    EXPECT_EQ(kind(5, 5), ShapeEmpty);  // 20 edits were dropped: an even count
}

TEST_F(History, AnUndoRightAfterAClickTakesThatClickWithoutItsDialog) {
    ClickWith(KindContactOpen, 2, 2);
    EXPECT_TRUE(editor_.deferredOpen());
    editor_.Undo();
    EXPECT_EQ(kind(2, 2), ShapeEmpty);
    EXPECT_FALSE(editor_.TimerTick().openParameters);
    editor_.Redo();
    EXPECT_EQ(kind(2, 2), KindContactOpen);
}

}  // namespace
}  // namespace velmorin
