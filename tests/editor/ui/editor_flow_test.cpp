// The editor in the running application: a program drawn from an empty
// diagram with synthetic mouse events and the real parameter dialog, saved
// and compiled; the same editing from the keyboard with undo and redo; the
// palette beside the view.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

#include <deque>
#include <functional>

#include "../../app/shell_test_support.h"
#include "../../support/modal_script.h"
#include "../../support/model_builders.h"
#include "../../support/view_input.h"
#include "../../support/widget_input.h"
#include "app/CommandTable.h"
#include "compiler/headless_compile.h"
#include "compiler/ui/CompileDialog.h"
#include "editor/ui/CVelmorinView.h"
#include "editor/ui/PaletteDialog.h"
#include "editor/ui/ParameterDialog.h"

// Delivers a key through the window system layer, so that it meets the
// shortcut map exactly as a real key press would.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text, bool autorepeat, ushort count);

namespace velmorin {
namespace {

using testing::ClickRow;
using testing::ClickWidget;
using testing::MouseClick;
using testing::ViewPoint;
using testing::WaitFor;

constexpr ImageDate FixedDate{14, 2, 2024};

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class EditorFlowTest : public testing::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
        frame().resize(900, 700);
        frame().show();
        QApplication::setActiveWindow(&frame());
        view().setFocus();
    }

    CVelmorinView& view() { return *frame().view(); }
    int Kind(int row, int column) { return doc().model().grid.at(row, column).shape; }

    // Makes the tool of command `id` current through its menu command (a
    // second trigger would put it down again).
    void Tool(int id) {
        if (view().toolState().currentTool() != FindCommand(id)->tool) frame().action(id)->trigger();
    }

    // A left click in a half of a cell, and for element tools the wait for
    // the parameter dialog that the view's timer opens.
    void Click(int row, int column, int xHalf = 1, int yHalf = 1) {
        MouseClick(view(), ViewPoint(view(), row, column, xHalf, yHalf));
    }
    void ClickElement(int row, int column) {
        const size_t before = dialogs.parameterRequests.size();
        Click(row, column);
        ASSERT_TRUE(WaitFor([&] { return dialogs.parameterRequests.size() > before; })) << row << "," << column;
        EXPECT_EQ(dialogs.parameterRequests.back().cell, (CellPos{column, row}));
    }

    // A key through the frame's window, where the shortcuts live.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWindow* window = frame().windowHandle();
        ASSERT_NE(window, nullptr);
        qt_handleKeyEvent(window, QEvent::KeyPress, key, modifiers, QString(), false, 1);
        qt_handleKeyEvent(window, QEvent::KeyRelease, key, modifiers, QString(), false, 1);
    }
    // A key the view handles itself, sent to it as to the focus widget.
    void ViewKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        testing::SendKey(&view(), key, modifiers);
    }

    // The real compile box, pressed as soon as its compilation has ended.
    void UseTheRealCompileBox() {
        dialogs.compileRunner = [this](const std::string& path) {
            QDeadlineTimer deadline(20000);
            QTimer presser;
            QObject::connect(&presser, &QTimer::timeout, [&] {
                auto* box = qobject_cast<CompileDialog*>(QApplication::activeModalWidget());
                if (box && (box->button()->text() != "Cancelar" || deadline.hasExpired())) box->button()->click();
            });
            presser.start(10);
            return app->KeepCompilation(RunCompileDialog(&frame(), doc().model(), path, prompts, FixedDate));
        };
    }
};

// The dialog as a user fills it: a row of the list, a new alias typed over
// the first box (none: the alias stays), then "Aceptar".
using Fill = std::function<void(ParameterDialog&)>;

Fill Operand(int row, const char* alias) {
    return [=](ParameterDialog& dialog) {
        ClickRow(dialog.choiceList(), row);
        if (alias) testing::TypeOver(dialog.edit(0), QString::fromUtf8(alias));
    };
}

TEST_F(EditorFlowTest, TheLatchDrawnWithTheMouseSavesAndCompilesAsTheExample) {
    std::deque<Fill> fills;
    dialogs.parameterRunner = [&](const ParameterRequest& request) {
        ParameterDialog dialog(doc().model(), request, prompts, &frame());
        if (!dialog.Start()) return dialog.outcome();
        dialog.show();
        if (!fills.empty()) {
            fills.front()(dialog);
            fills.pop_front();
        }
        ClickWidget(dialog.acceptButton());
        EXPECT_FALSE(dialog.isVisible());
        return dialog.outcome();
    };
    const auto wire = [&](int row, int column) {
        Tool(cmd::ToolHorizontal);
        Click(row, column, -1);
        Click(row, column, 1);
    };

    // Rung 1: start button, a branch point, stop button, wire, motor.
    Tool(cmd::ToolLd);
    fills.push_back(Operand(0, "marcha"));
    ClickElement(1, 1);
    wire(1, 2);
    Tool(cmd::ToolVertical);
    Click(1, 2, 1, 1);  // the branch goes down
    Tool(cmd::ToolLdn);
    fills.push_back(Operand(1, "paro"));
    ClickElement(1, 3);
    for (int column = 4; column <= 7; ++column) wire(1, column);
    Tool(cmd::ToolOut);
    fills.push_back(Operand(8, "motor"));
    ClickElement(1, 8);
    // Rung 2: the motor's own contact holds it, joining the branch from below.
    Tool(cmd::ToolLd);
    fills.push_back(Operand(8, nullptr));
    ClickElement(2, 1);
    Tool(cmd::ToolHorizontal);
    Click(2, 2, -1);
    Tool(cmd::ToolVertical);
    Click(2, 2, 1, -1);
    // The next block ends the program: the box's first instruction is END.
    Tool(cmd::ToolBoxOneSided);
    ClickElement(5, 1);

    EXPECT_TRUE(fills.empty());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(dialogs.parameterRequests.size(), 5u);
    EXPECT_TRUE(doc().modified());
    EXPECT_TRUE(frame().action(cmd::EditUndo)->isEnabled());

    prompts.fileAnswers = {FilePath("latch.ldr")};
    frame().action(cmd::FileSave)->trigger();
    EXPECT_FALSE(doc().modified());
    const QString example = QStringLiteral(VELMORIN_SOURCE_DIR "/examples/latch.ldr");
    EXPECT_EQ(Slurp(files.filePath("latch.ldr")), Slurp(example));

    // The same listing and image as the example compiled on its own.
    const QString reference = files.filePath("reference.ldr");
    ASSERT_TRUE(QFile::copy(example, reference));
    ASSERT_EQ(CompileFile(reference.toStdString(), FixedDate).status, 0);
    UseTheRealCompileBox();
    frame().action(cmd::Compile)->trigger();
    EXPECT_EQ(dialogs.opened.back(), "send");
    const QByteArray listing = Slurp(files.filePath("latch.prg"));
    EXPECT_FALSE(listing.isEmpty());
    EXPECT_EQ(listing, Slurp(files.filePath("reference.prg")));
    EXPECT_EQ(Slurp(files.filePath("latch.bld")), Slurp(files.filePath("reference.bld")));
}

TEST_F(EditorFlowTest, TheKeyboardEditsAndUndoingBackToTheSavedStateClearsModified) {
    QAction* undo = frame().action(cmd::EditUndo);
    QAction* redo = frame().action(cmd::EditRedo);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    // Enter with a wire tool lays a whole piece in the cursor cell; then the diagram is saved.
    Tool(cmd::ToolHorizontal);
    ViewKey(Qt::Key_Return);
    EXPECT_EQ(Kind(1, 1), KindHorizontal);
    EXPECT_TRUE(doc().modified());
    EXPECT_TRUE(undo->isEnabled());
    prompts.fileAnswers = {FilePath("keys.ldr")};
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(doc().modified());
    // With an element tool, the parameter dialog of the cursor cell.
    ParameterResult contact{true, ElementLd, {}};
    for (ParamSlot& slot : contact.params) slot[0] = Unchosen;
    contact.params[0] = {testing::E1, 0};
    dialogs.parameterResults = {contact};
    ViewKey(Qt::Key_Right);
    Tool(cmd::ToolLd);
    ViewKey(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !dialogs.parameterRequests.empty(); }));
    EXPECT_EQ(dialogs.parameterRequests[0].cell, (CellPos{2, 1}));
    EXPECT_EQ(doc().model().grid.at(1, 2).element, ElementLd);
    // Delete erases whatever the tool; Ctrl+Z brings it back.
    ViewKey(Qt::Key_Delete);
    EXPECT_EQ(Kind(1, 2), ShapeEmpty);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Kind(1, 2), KindContactOpen);
    EXPECT_TRUE(redo->isEnabled());

    // Shift+arrows select columns 1-2 of rows 1-2; letting Shift go asks what to do.
    dialogs.blockChoices = {BlockChoice::Copy};
    ViewKey(Qt::Key_Left, Qt::ShiftModifier);
    ViewKey(Qt::Key_Down, Qt::ShiftModifier);
    ViewKey(Qt::Key_Shift);
    EXPECT_EQ(dialogs.opened.back(), "block");
    EXPECT_EQ(view().editor().blockBuffer().count(), 4);
    // The cursor to the next block, and Ctrl+V.
    for (int i = 0; i < 4; ++i) ViewKey(Qt::Key_Down);
    EXPECT_EQ(view().hoverCell(), (CellPos{1, 6}));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Kind(6, 1), KindHorizontal);
    EXPECT_EQ(Kind(6, 2), KindContactOpen);
    EXPECT_EQ(doc().model().grid.at(6, 2).element, ElementLd);
    // Ctrl+X without a selection takes the cursor cell; Shift+Ins pastes it back.
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Kind(6, 1), ShapeEmpty);
    Press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Kind(6, 1), KindHorizontal);
    EXPECT_TRUE(prompts.messages.empty());
    // A paste onto an occupied cell is refused with its reason, and changes nothing.
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{"No se puede pegar el bloque: 9"}));

    // Undo everything: the empty diagram differs from the saved one, and
    // redoing the wire comes back to it.
    for (int i = 0; i < 20 && undo->isEnabled(); ++i) Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(doc().modified());
    EXPECT_EQ(Kind(1, 1), ShapeEmpty);
    EXPECT_EQ(Kind(6, 2), ShapeEmpty);
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Kind(1, 1), KindHorizontal);
    EXPECT_FALSE(doc().modified());
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Kind(1, 2), KindContactOpen);
    EXPECT_TRUE(doc().modified());
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(doc().modified());

    // A new document forgets the history.
    prompts.yesNoAnswers = {true};
    Press(Qt::Key_Y, Qt::ControlModifier);
    frame().action(cmd::FileNew)->trigger();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
}

// Two element clicks quicker than the dialog's delay: the second press first
// has the first cell's dialog opened and answered, then places its own
// element, whose dialog follows. Each real dialog stands beside its cell.
TEST_F(EditorFlowTest, QuickElementClicksEachGetTheirDialogBesideTheirCell) {
    ParameterResult contact{true, ElementLd, {}};
    for (ParamSlot& slot : contact.params) slot[0] = Unchosen;
    contact.params[0] = {testing::E1, 0};
    dialogs.parameterResults = {contact, contact};
    Tool(cmd::ToolLd);
    Click(2, 2);
    Click(2, 4);  // no event loop between: well within 200 ms
    ASSERT_TRUE(WaitFor([&] { return dialogs.parameterRequests.size() == 2; }));
    EXPECT_EQ(dialogs.parameterRequests[0].cell, (CellPos{2, 2}));
    EXPECT_EQ(dialogs.parameterRequests[1].cell, (CellPos{4, 2}));
    for (const int column : {2, 4}) {
        EXPECT_EQ(Kind(2, column), KindContactOpen) << column;
        EXPECT_EQ(doc().model().grid.at(2, column).element, ElementLd) << column;
    }

    // The real dialog, cancelled: it opened clear of the cell it edits.
    frame().SetDialogs(nullptr);
    testing::ModalScript script;
    QRect dialogArea, cell;
    script.On<ParameterDialog>([&](ParameterDialog& dialog) {
        dialogArea = dialog.frameGeometry();
        const QPoint scroll(view().horizontalScrollBar()->value(), view().verticalScrollBar()->value());
        cell = QRect(view().viewport()->mapToGlobal(QPoint(5 * 64, 3 * 64) - scroll), QSize(64, 64));
        dialog.cancelButton()->click();
    });
    Click(3, 5);
    ASSERT_TRUE(WaitFor([&] { return script.finished(); }));
    frame().SetDialogs(&dialogs);
    ASSERT_TRUE(dialogArea.isValid());
    EXPECT_FALSE(dialogArea.intersects(cell))
        << dialogArea.x() << "," << dialogArea.y() << " over " << cell.x() << "," << cell.y();
    EXPECT_EQ(Kind(3, 5), ShapeEmpty);  // cancelled
}

TEST_F(EditorFlowTest, ThePaletteFollowsTheToolAndTheBlockBuffer) {
    // A right click opens it beside the cell: one cell to the right, one up.
    const QPointF cell = ViewPoint(view(), 3, 2);
    MouseClick(view(), cell, Qt::RightButton);
    PaletteDialog* palette = view().palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(palette->isVisible());
    EXPECT_EQ(palette->windowTitle(), "Elementos");
    const QPoint origin = view().viewport()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(palette->pos(), origin + QPoint(3 * 64, 2 * 64));
    EXPECT_FALSE(palette->pasteButton()->isEnabled());
    const auto pressed = [&] {
        std::vector<int> kinds;
        for (int kind = 0; kind < ShapeEmpty; ++kind) {
            if (QToolButton* button = palette->toolButton(kind); button && button->isChecked()) kinds.push_back(kind);
        }
        return kinds;
    };
    EXPECT_TRUE(pressed().empty());

    // Right clicks on the same cell cycle the wire tools and the eraser.
    for (const int kind : {KindHorizontal, KindVertical, KindBlank, KindHorizontal}) {
        MouseClick(view(), cell, Qt::RightButton);
        EXPECT_EQ(view().toolState().currentTool(), kind);
        EXPECT_EQ(pressed(), std::vector<int>{kind});
    }
    EXPECT_TRUE(frame().action(cmd::ToolHorizontal)->isChecked());
    // A palette button selects its tool; a menu command moves the pressed button.
    ClickWidget(palette->toolButton(KindCoil));
    EXPECT_EQ(view().toolState().currentTool(), KindCoil);
    EXPECT_EQ(pressed(), std::vector<int>{KindCoil});
    EXPECT_TRUE(frame().action(cmd::ToolOut)->isChecked());
    frame().action(cmd::ToolBoxTwoSided)->trigger();
    EXPECT_EQ(pressed(), std::vector<int>{KindBoxTwoSided});

    // "Copiar" of a Shift-drag selection enables "Pegar" at once; it pastes at the cursor.
    doc().model().grid.at(1, 1).shape = KindHorizontal;
    dialogs.blockChoices = {BlockChoice::Copy};
    testing::MousePress(view(), ViewPoint(view(), 1, 1), Qt::LeftButton, Qt::ShiftModifier);
    testing::MouseRelease(view(), ViewPoint(view(), 1, 1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(view().palette(), palette);
    EXPECT_TRUE(palette->pasteButton()->isEnabled());
    testing::MouseMove(view(), ViewPoint(view(), 6, 4));
    ClickWidget(palette->pasteButton());
    EXPECT_EQ(Kind(6, 4), KindHorizontal);
    EXPECT_TRUE(doc().modified());

    // A plain left click closes it; closed through its own frame, the next
    // right click brings it back.
    Click(8, 8);
    EXPECT_TRUE(WaitFor([&] { return view().palette() == nullptr; }));
    MouseClick(view(), cell, Qt::RightButton);
    ASSERT_NE(view().palette(), nullptr);
    view().palette()->close();
    EXPECT_TRUE(WaitFor([&] { return view().palette() == nullptr; }));
    EXPECT_FALSE(view().editor().paletteOpen());
    MouseClick(view(), ViewPoint(view(), 4, 4), Qt::RightButton);
    ASSERT_NE(view().palette(), nullptr);
    EXPECT_TRUE(view().palette()->isVisible());
    EXPECT_TRUE(view().palette()->pasteButton()->isEnabled());
}

}  // namespace
}  // namespace velmorin
