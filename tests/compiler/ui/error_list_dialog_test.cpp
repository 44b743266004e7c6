// "Listado de errores" over the last compilation, opened through the frame's
// command with the real dialog: what it lists, where a click leads in the
// diagram, and what OK and the close box leave marked.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

#include <functional>

#include "app/CommandTable.h"
#include "app/shell_test_support.h"
#include "compiler/ui/ErrorListDialog.h"
#include "editor/ui/CVelmorinView.h"

namespace velmorin {
namespace {

using testing::ShellTest;

// Runs `act` on the error list once it is up while `show` runs. The box is
// closed afterwards whatever `act` did, so a failing check cannot hang the test.
bool WhileListShown(const std::function<void()>& show, const std::function<void(ErrorListDialog&)>& act) {
    bool seen = false;
    QDeadlineTimer deadline(5000);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<ErrorListDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = true;
            act(*box);
            if (box->isVisible()) box->reject();
        } else if (deadline.hasExpired()) {
            poll.stop();
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
        }
    });
    poll.start(10);
    show();
    return seen;
}

void ClickRow(QTableWidget& list, int row) {
    const QPoint at = list.visualRect(list.model()->index(row, 4)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, list.viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &event);
    }
}

QStringList RowTexts(const QTableWidget& list, int row) {
    QStringList texts;
    for (int c = 0; c < list.columnCount(); ++c) texts << list.item(row, c)->text();
    return texts;
}

class ErrorListDialogTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
        frame().SetDialogs(nullptr);
        frame().resize(800, 600);
        frame().show();
    }

    // The program overflows the code memory in block 15 and has no END.
    void CompileTheOverflowingProgram() {
        const QString path =
            QStringLiteral(VELMORIN_SOURCE_DIR "/tests/compiler/golden/code_overflow/code_overflow.ldr");
        ASSERT_TRUE(doc().LoadDocument(path));
        Compiler& compiler = app->compiler();
        ASSERT_EQ(compiler.Prepare(doc().model(), ""), PrepareOutcome::Started);
        compiler.Run(doc().model(), CompileCallbacks{});
        ASSERT_EQ(compiler.diagnosticCount(), 2);
    }

    bool OpenList(const std::function<void(ErrorListDialog&)>& act) {
        return WhileListShown([this] { frame().action(cmd::ErrorList)->trigger(); }, act);
    }

    CVelmorinView& view() { return *frame().view(); }
    int scrollY() { return view().verticalScrollBar()->value(); }
};

TEST_F(ErrorListDialogTest, ListsTheDiagnosticsInFiveColumnsOfFixedShares) {
    CompileTheOverflowingProgram();
    ASSERT_TRUE(OpenList([](ErrorListDialog& box) {
        EXPECT_EQ(box.windowTitle(), "Listado de errores");
        QTableWidget& list = *box.list();
        ASSERT_EQ(list.rowCount(), 2);
        ASSERT_EQ(list.columnCount(), 5);
        QStringList headings;
        for (int c = 0; c < 5; ++c) headings << list.horizontalHeaderItem(c)->text();
        EXPECT_EQ(headings, QStringList({"Nro", "Bloque", "Y", "X", "Descripción"}));
        EXPECT_EQ(RowTexts(list, 0), QStringList({"000", "ETQ16", " 2", " 1", "Error: Memoria insuficiente"}));
        EXPECT_EQ(RowTexts(list, 1),
                  QStringList({"001", "ETQ04", " 3", " 8", " Obs.: La última instrucción debe ser END o RJP"}));
        EXPECT_EQ(list.item(0, 0)->data(Qt::UserRole).toInt(), 62);
        EXPECT_EQ(list.item(1, 0)->data(Qt::UserRole).toInt(), 15);
        EXPECT_TRUE(list.showGrid());
        const int u = list.viewport()->width() / 14;
        EXPECT_GT(u, 0);
        const int units[5] = {2, 2, 1, 1, 12};
        for (int c = 0; c < 5; ++c) EXPECT_EQ(list.columnWidth(c), units[c] * u) << c;
        EXPECT_EQ(box.okButton()->text(), "OK");
    }));
}

TEST_F(ErrorListDialogTest, AClickMarksTheCellAndScrollsToItOkTakesTheMarkAway) {
    CompileTheOverflowingProgram();
    ASSERT_TRUE(OpenList([this](ErrorListDialog& box) {
        ClickRow(*box.list(), 0);
        EXPECT_EQ(view().markedCell(), (GridCell{1, 62}));
        EXPECT_EQ(scrollY(), 60 * 64);
        // The box stays open: another diagnostic, another cell.
        ClickRow(*box.list(), 1);
        EXPECT_EQ(view().markedCell(), (GridCell{8, 15}));
        EXPECT_EQ(scrollY(), 13 * 64);
        ASSERT_TRUE(box.isVisible());
        box.okButton()->click();
    }));
    EXPECT_EQ(view().markedCell(), GridCell{});
    // The diagram stays where the last click took it.
    EXPECT_EQ(scrollY(), 13 * 64);
}

TEST_F(ErrorListDialogTest, TheCloseBoxLeavesTheLastClickedCellMarked) {
    CompileTheOverflowingProgram();
    ASSERT_TRUE(OpenList([](ErrorListDialog& box) {
        ClickRow(*box.list(), 1);
        box.close();
    }));
    EXPECT_EQ(view().markedCell(), (GridCell{8, 15}));
    // A click beside the rows leads nowhere.
    ASSERT_TRUE(OpenList([](ErrorListDialog& box) {
        QTableWidget& list = *box.list();
        const QPoint below(10, list.viewport()->height() - 2);
        ASSERT_FALSE(list.indexAt(below).isValid());
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, below, list.viewport()->mapToGlobal(below), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(list.viewport(), &event);
        }
        box.close();
    }));
    EXPECT_EQ(view().markedCell(), (GridCell{8, 15}));
}

TEST_F(ErrorListDialogTest, WithoutDiagnosticsOnlyTheMessageShows) {
    // A new document forgets the last compilation's list.
    CompileTheOverflowingProgram();
    frame().action(cmd::FileNew)->trigger();
    EXPECT_FALSE(OpenList([](ErrorListDialog&) {}));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"No hay errores registrados"});
}

}  // namespace
}  // namespace velmorin
