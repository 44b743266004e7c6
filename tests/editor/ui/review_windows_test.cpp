// The windows that help review a program, in the running application with
// synthetic keys and clicks: the cross-reference (F7) showing a use and
// following a block insert, find (Ctrl+F, F3) walking its matches round, the
// block commands with undo and a refusal, the observations under the live
// budget, and the zoom with a click that lands on its cell at 200%.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QWindow>

#include <functional>
#include <string>

#include "../../app/shell_test_support.h"
#include "../../compiler/test_diagram.h"
#include "../../support/view_input.h"
#include "../../support/widget_input.h"
#include "app/CommandTable.h"
#include "compiler/ui/BudgetIndicator.h"
#include "compiler/ui/ErrorListDialog.h"
#include "editor/editor_messages.h"
#include "editor/ui/CVelmorinView.h"
#include "editor/ui/CrossReferenceDialog.h"
#include "editor/ui/FindDialog.h"
#include "model/source_file.h"

Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text, bool autorepeat, ushort count);

namespace velmorin {
namespace {

using testing::WaitFor;

// Where the test run was asked to leave pictures of the windows (to look at them).
void Snapshot(QWidget& widget, const char* name) {
    const QByteArray folder = qgetenv("VELMORIN_SCREENSHOTS");
    if (folder.isEmpty()) return;
    widget.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QLatin1String(name) + ".png");
}

class ReviewWindowsTest : public testing::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
        frame().resize(900, 700);
        frame().show();
        QApplication::setActiveWindow(&frame());
        view().setFocus();
        // s1 written twice (a duplicate coil) and read twice, a jump to block 2, v02 set and never reset.
        testing::Diagram d;
        d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1", "ldn:s1 ─ ─ ─ ─ ─ ─ jp1:@2"})
            .Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s1"})
            .Block(2, {"ld:s1 ─ ─ ─ ─ ─ ─ out:s2", "ld:e3 ─ ─ ─ ─ ─ ─ set:v02"})
            .Block(3, {"end"})
            .Alias("s1", "Bomba");
        const std::string path = FilePath("review.ldr");
        ASSERT_TRUE(WriteSourceFile(d.model(), path).ok);
        ASSERT_TRUE(doc().LoadDocument(QString::fromStdString(path)));
    }

    CVelmorinView& view() { return *frame().view(); }
    std::vector<uint8_t> Saved() { return EncodeSourceFile(doc().model()); }

    // A key through the frame's window, where the shortcuts live.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWindow* window = frame().windowHandle();
        ASSERT_NE(window, nullptr);
        qt_handleKeyEvent(window, QEvent::KeyPress, key, modifiers, QString(), false, 1);
        qt_handleKeyEvent(window, QEvent::KeyRelease, key, modifiers, QString(), false, 1);
    }
    void CursorTo(int row, int column) {
        testing::MouseMove(view(), testing::ViewPoint(view(), row, column));
        ASSERT_EQ(view().hoverCell(), (CellPos{column, row}));
    }
    static QTreeWidgetItem* Head(QTreeWidget& tree, const char* name) {
        const QList<QTreeWidgetItem*> found = tree.findItems(QString::fromLatin1(name), Qt::MatchExactly, 0);
        return found.size() == 1 ? found.front() : nullptr;
    }
    static void ClickItem(QTreeWidget& tree, QTreeWidgetItem* item) {
        tree.scrollToItem(item);
        const QPoint at = tree.visualItemRect(item).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, tree.viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(tree.viewport(), &event);
        }
    }
    static QStringList Texts(const QTreeWidgetItem* item) {
        QStringList texts;
        for (int c = 0; c < CrossReferenceDialog::ColumnCount; ++c) texts << item->text(c);
        return texts;
    }
};

TEST_F(ReviewWindowsTest, CrossReferenceOpensWithF7ShowsAUseAndFollowsABlockInsert) {
    Press(Qt::Key_F7);
    CrossReferenceDialog* window = frame().crossReferenceDialog();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return window->isVisible(); }));
    QTreeWidget& tree = *window->tree();

    QTreeWidgetItem* s1 = Head(tree, "S1");
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(Texts(s1), (QStringList{"S1", "Bomba", "4", "", "", "", "", ""}));
    ASSERT_EQ(s1->childCount(), 4);
    EXPECT_EQ(Texts(s1->child(1)), (QStringList{"", "", "", "ETQ01", "2", "1", "LDN", "lee"}));
    EXPECT_EQ(Texts(s1->child(2)), (QStringList{"", "", "", "ETQ02", "1", "8", "OUT", "escribe"}));
    QTreeWidgetItem* label = Head(tree, "ETQ03");
    ASSERT_NE(label, nullptr);
    ASSERT_EQ(label->childCount(), 1);
    EXPECT_EQ(Texts(label->child(0)), (QStringList{"", "", "", "ETQ01", "2", "8", "JP1", "salta"}));

    s1->setExpanded(true);
    Snapshot(*window, "cross_reference");
    ClickItem(tree, s1->child(2));
    EXPECT_EQ(view().markedCell(), (CellPos{8, 5}));
    EXPECT_EQ(view().verticalScrollBar()->value(), 3 * CellPixels);

    // An empty block before block 0: every use moves down a block, the jump
    // follows its rung to label 3, and what was open stays open.
    CursorTo(1, 3);
    frame().action(cmd::BlockInsert)->trigger();
    ASSERT_TRUE(WaitFor([&] { return Head(tree, "ETQ04") != nullptr; }));
    EXPECT_EQ(Head(tree, "ETQ03"), nullptr);
    s1 = Head(tree, "S1");
    ASSERT_NE(s1, nullptr);
    EXPECT_TRUE(s1->isExpanded());
    EXPECT_EQ(Texts(s1->child(2)), (QStringList{"", "", "", "ETQ03", "1", "8", "OUT", "escribe"}));
    ClickItem(tree, s1->child(2));
    EXPECT_EQ(view().markedCell(), (CellPos{8, 9}));
}

TEST_F(ReviewWindowsTest, FindAsksTheWordAndF3WalksTheMatchesRoundAndSaysSo) {
    CursorTo(1, 1);
    Press(Qt::Key_F, Qt::ControlModifier);
    FindDialog* find = frame().findDialog();
    ASSERT_NE(find, nullptr);
    ASSERT_TRUE(WaitFor([&] { return find->isVisible(); }));
    testing::TypeOver(find->edit(), QStringLiteral("bomba"));  // the alias of s1, in other case
    Snapshot(*find, "find");
    testing::SendKey(find->edit(), Qt::Key_Return);
    EXPECT_EQ(view().hoverCell(), (CellPos{8, 1}));
    const CellPos walk[] = {{1, 2}, {8, 5}, {1, 9}};
    for (const CellPos& next : walk) {
        Press(Qt::Key_F3);
        EXPECT_EQ(view().hoverCell(), next);
    }
    EXPECT_TRUE(frame().statusBar()->currentMessage().isEmpty());
    Press(Qt::Key_F3);
    EXPECT_EQ(view().hoverCell(), (CellPos{8, 1}));
    EXPECT_EQ(frame().statusBar()->currentMessage().toStdString(), msg::FindWrappedToStart);
    Press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(view().hoverCell(), (CellPos{1, 9}));
    EXPECT_EQ(frame().statusBar()->currentMessage().toStdString(), msg::FindWrappedToEnd);

    // Ctrl+B asks again; a word nothing holds leaves the cursor and says so.
    find->hide();
    Press(Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return find->isVisible(); }));
    testing::TypeOver(find->edit(), QStringLiteral("s6"));
    find->nextButton()->click();
    EXPECT_EQ(view().hoverCell(), (CellPos{1, 9}));
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back(), msg::NothingFound);
}

TEST_F(ReviewWindowsTest, BlockCommandsEditAtTheCursorAreUndoneInOneStepAndARefusalChangesNothing) {
    const std::vector<uint8_t> before = Saved();
    CursorTo(2, 4);
    frame().action(cmd::BlockInsert)->trigger();
    EXPECT_EQ(doc().model().grid.at(5, 1).element, ElementLd);
    EXPECT_EQ(doc().model().grid.at(1, 1).element, ElementNone);
    EXPECT_TRUE(doc().modified());
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Saved(), before);

    // Down and back up again is the program as it was, in two steps.
    frame().action(cmd::BlockMoveDown)->trigger();
    EXPECT_EQ(doc().model().grid.at(6, 8).element, ElementJp1);
    EXPECT_EQ(view().hoverCell().row, 6);  // the cursor went with its block
    frame().action(cmd::BlockMoveUp)->trigger();
    EXPECT_EQ(Saved(), before);

    // Block 0 cannot go up: the message, and nothing changed or recorded.
    CursorTo(1, 1);
    const size_t messages = prompts.messages.size();
    const bool couldUndo = view().CanUndo();
    frame().action(cmd::BlockMoveUp)->trigger();
    ASSERT_EQ(prompts.messages.size(), messages + 1);
    EXPECT_EQ(prompts.messages.back(), msg::BlockAlreadyFirst);
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(view().CanUndo(), couldUndo);
}

TEST_F(ReviewWindowsTest, ObservationsAreCountedInTheBudgetAndListedUnderItsDiagnosticsWithTheirCells) {
    BudgetIndicator& budget = *frame().budgetIndicator();
    ASSERT_TRUE(WaitFor([&] { return !budget.pending(); }));
    EXPECT_TRUE(budget.text().endsWith(QString::fromUtf8(" · 2 observaciones"))) << budget.text().toStdString();
    const bool diagnostics = !budget.budget().diagnostics.empty();

    frame().SetDialogs(nullptr);
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<ErrorListDialog*>(QApplication::activeModalWidget());
        if (!box) return;
        poll.stop();
        seen = true;
        QTableWidget* list = box->observationList();
        EXPECT_EQ(box->list()->isVisible(), diagnostics);  // without diagnostics, only the observations
        if (list) {
            Snapshot(*box, "observations");
            // The duplicate coil on both its cells, then the set without reset.
            ASSERT_EQ(list->rowCount(), 3);
            EXPECT_EQ(list->item(1, 1)->text(), "ETQ02");
            EXPECT_EQ(list->item(2, 0)->text(), "001");
            testing::ClickRow(list, 1);
            EXPECT_EQ(view().markedCell(), (CellPos{8, 5}));
        }
        box->reject();
    });
    poll.start(10);
    budget.click();
    frame().SetDialogs(&dialogs);
    EXPECT_TRUE(seen);
}

TEST_F(ReviewWindowsTest, ZoomFollowsTheWheelAndKeysIsKeptInTheSettingsAndAClickAt200FindsItsCell) {
    const auto wheel = [&](int delta) {
        const QPointF at = testing::ViewPoint(view(), 2, 2);
        QWheelEvent event(at, view().viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view().viewport(), &event);
    };
    const int fullHeight = view().verticalScrollBar()->maximum() + view().viewport()->height();
    wheel(120);
    EXPECT_EQ(view().zoom().percent(), 125);
    wheel(-240);
    EXPECT_EQ(view().zoom().percent(), 75);
    Press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(view().zoom().percent(), 100);
    for (int i = 0; i < 5; ++i) Press(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(view().zoom().percent(), 200);
    EXPECT_EQ(app->settings().zoomPercent, 200);
    EXPECT_EQ(view().verticalScrollBar()->maximum() + view().viewport()->height(), 2 * fullHeight);
    Snapshot(view(), "zoom_200");

    // The right half of an empty cell with the horizontal tool: a half line
    // to the right, in the cell under the pointer.
    view().toolState().SelectTool(KindHorizontal);
    view().verticalScrollBar()->setValue(12 * view().zoom().cellPixels() + 17);
    testing::MouseClick(view(), testing::ViewPoint(view(), 14, 5, 1, -1));
    EXPECT_EQ(doc().model().grid.at(14, 5).shape, KindHalfRight);
    testing::MouseClick(view(), testing::ViewPoint(view(), 14, 5, -1, 1));
    EXPECT_EQ(doc().model().grid.at(14, 5).shape, KindHorizontal);
    EXPECT_EQ(view().hoverCell(), (CellPos{5, 14}));

    for (int i = 0; i < 8; ++i) Press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view().zoom().percent(), 50);
    Snapshot(view(), "zoom_50");
}

}  // namespace
}  // namespace velmorin
