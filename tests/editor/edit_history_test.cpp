// Undo and redo through the editing session, measured by the bytes a save
// would write.
#include <gtest/gtest.h>

#include <vector>

#include "editor_fixture.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using History = testing::EditorFixture;

TEST_F(History, UndoToTheEmptyDiagramAndRedoGiveTheSameFiles) {
    std::vector<std::vector<uint8_t>> states{EncodeSourceFile(model())};
    auto record = [&] { states.push_back(EncodeSourceFile(model())); };
    // An operand and a label renamed in the dialog, wires, a two-row box, an
    // erase, a cut and a paste.
    Fill(KindContactOpen, 1, 1, [](ParameterSession& d) {
        d.ChooseRow(2);
        d.SetText(0, "arranque");
    });
    record();
    ClickWith(KindHorizontal, 1, 2, -1);
    record();
    ClickWith(KindHorizontal, 1, 2, 1);
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
    ASSERT_EQ(editor_.history().stepCount(), states.size() - 1);

    for (size_t i = states.size() - 1; i > 0; --i) {
        EXPECT_EQ(editor_.Undo().modified, i > 1);
        EXPECT_EQ(EncodeSourceFile(model()), states[i - 1]) << "undo to state " << i - 1;
    }
    EXPECT_FALSE(editor_.CanUndo());
    for (size_t i = 1; i < states.size(); ++i) {
        EXPECT_TRUE(editor_.Redo().wholeView);
        EXPECT_EQ(EncodeSourceFile(model()), states[i]) << "redo to state " << i;
    }
}

TEST_F(History, ModifiedFollowsTheSavedState) {
    ClickWith(KindHorizontal, 3, 3);
    ClickWith(KindHorizontal, 3, 4);
    editor_.MarkSaved();
    EXPECT_EQ(editor_.Undo().modified, true);
    EXPECT_EQ(editor_.Redo().modified, false);  // back at the save
    // A new edit after undoing past the save leaves no way back to it.
    editor_.Undo();
    EXPECT_EQ(ClickWith(KindHorizontal, 3, 6).modified, true);
    EXPECT_FALSE(editor_.CanRedo());
    while (editor_.CanUndo()) EXPECT_EQ(editor_.Undo().modified, true);
    // An undo right after a click takes the click, and its dialog never opens.
    ClickWith(KindContactOpen, 2, 2);
    EXPECT_EQ(editor_.Undo().modified, true);
    EXPECT_EQ(kind(2, 2), ShapeEmpty);
    EXPECT_FALSE(editor_.TimerTick().openParameters);
    // New and Open start over: nothing to undo, and the program counts as saved.
    editor_.InitialUpdate();
    EXPECT_FALSE(editor_.CanUndo() || editor_.CanRedo());
    ClickWith(KindHorizontal, 4, 4);
    EXPECT_EQ(editor_.Undo().modified, false);
}

// A save can fall between an element's click and its parameter dialog: the
// file then holds the element as the click left it. Undoing and redoing
// afterwards call the diagram saved exactly when it is what the file holds.
TEST_F(History, TheSavedPointFollowsTheProgramAsSaved) {
    ClickWith(KindHorizontal, 3, 3);
    ClickWith(KindContactOpen, 2, 2);
    const std::vector<uint8_t> saved = EncodeSourceFile(model());
    editor_.MarkSaved();
    EXPECT_FALSE(editor_.history().modified());
    ASSERT_TRUE(editor_.TimerTick().openParameters);
    EXPECT_EQ(editor_.ParametersClosed(Accepted(ElementLd, 3)).modified, true);

    const auto matchesTheFile = [&] { return EncodeSourceFile(model()) == saved; };
    for (const bool undo : {true, true, true, false, false, false}) {
        SCOPED_TRACE(undo ? "undo" : "redo");
        const ViewEffects step = undo ? editor_.Undo() : editor_.Redo();
        ASSERT_TRUE(step.modified);
        EXPECT_EQ(*step.modified, !matchesTheFile());
    }
    EXPECT_EQ(at(2, 2).element, ElementLd);

    // Undo in that moment takes the click back whole, saved or not.
    ClickWith(KindContactOpen, 4, 4);
    editor_.MarkSaved();
    const ViewEffects undone = editor_.Undo();
    EXPECT_EQ(kind(4, 4), ShapeEmpty);
    EXPECT_EQ(undone.modified, true);  // the file holds the contact
    EXPECT_FALSE(editor_.TimerTick().openParameters);
}

TEST_F(History, KeepsTheLatestThousandSteps) {
    const int edits = static_cast<int>(EditHistory::DefaultLimit) + 20;
    for (int i = 0; i < edits; ++i) ClickWith(i % 2 == 0 ? KindHorizontal : KindBlank, 5, 5);
    int undone = 0;
    for (; editor_.CanUndo(); ++undone) {
        EXPECT_EQ(editor_.Undo().modified, true);  // the saved state went with the oldest steps
    }
    EXPECT_EQ(undone, static_cast<int>(EditHistory::DefaultLimit));
    EXPECT_EQ(kind(5, 5), ShapeEmpty);  // after the twenty dropped edits
}

}  // namespace
}  // namespace velmorin
