// The error list and the live budget in a running session, with the real
// list: what it shows, where a click leads and what OK and the close box
// leave marked; the budget following loads and edits without touching the
// last compilation, measured before a compilation starts, its click listing
// what it counted.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

#include <functional>

#include "app/CommandTable.h"
#include "app/shell_test_support.h"
#include "compiler/ui/BudgetIndicator.h"
#include "compiler/ui/ErrorListDialog.h"
#include "editor/ui/CVelmorinView.h"

namespace velmorin {
namespace {

class ErrorListAndBudgetTest : public testing::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
        frame().resize(800, 600);
        frame().show();
    }

    void Load(const char* golden) {
        ASSERT_TRUE(
            doc().LoadDocument(QStringLiteral(VELMORIN_SOURCE_DIR "/tests/compiler/golden/%1/%1.ldr").arg(golden)));
    }

    // Runs `act` on the real list opened by the command; the list is closed
    // afterwards whatever `act` did, so a failing check cannot hang the test.
    bool WithList(const std::function<void(ErrorListDialog&, QTableWidget&)>& act) {
        frame().SetDialogs(nullptr);
        bool seen = false;
        QDeadlineTimer deadline(5000);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<ErrorListDialog*>(QApplication::activeModalWidget())) {
                poll.stop();
                seen = true;
                act(*box, *box->list());
                if (box->isVisible()) box->reject();
            } else if (deadline.hasExpired()) {
                poll.stop();
            }
        });
        poll.start(10);
        frame().action(cmd::ErrorList)->trigger();
        frame().SetDialogs(&dialogs);
        return seen;
    }

    static void ClickRow(QTableWidget& list, int row) {
        const QPoint at = list.visualRect(list.model()->index(row, 4)).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, list.viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(list.viewport(), &event);
        }
    }

    CVelmorinView& view() { return *frame().view(); }
    int scrollY() { return view().verticalScrollBar()->value(); }
    BudgetIndicator& budget() { return *frame().budgetIndicator(); }
    std::string BudgetShown() {
        QDeadlineTimer deadline(5000);
        while (budget().pending() && !deadline.hasExpired()) QApplication::processEvents();
        return budget().text().toStdString();
    }
};

TEST_F(ErrorListAndBudgetTest, TheListLeadsToEachCellOkTakesTheMarkAwayTheCloseBoxKeepsIt) {
    // The code memory overflows in block 15 (row 62) and the last instruction before it is no END (row 15).
    Load("code_overflow");
    ASSERT_EQ(app->KeepCompilation(CompileToFiles(doc().model(), "")), CompileResult::Errors);

    ASSERT_TRUE(WithList([this](ErrorListDialog& box, QTableWidget& list) {
        EXPECT_EQ(box.windowTitle(), "Listado de errores");
        ASSERT_EQ(list.rowCount(), 2);
        QStringList headings, first;
        for (int c = 0; c < list.columnCount(); ++c) {
            headings << list.horizontalHeaderItem(c)->text();
            first << list.item(0, c)->text();
        }
        EXPECT_EQ(headings, QStringList({"Nro", "Bloque", "Y", "X", "Descripción"}));
        EXPECT_EQ(first, QStringList({"000", "ETQ16", " 2", " 1", "Error: Memoria insuficiente"}));
        const int u = list.viewport()->width() / 14;
        const int units[5] = {2, 2, 1, 1, 12};
        for (int c = 0; c < 5; ++c) EXPECT_EQ(list.columnWidth(c), units[c] * u) << c;

        ClickRow(list, 0);
        EXPECT_EQ(view().markedCell(), (CellPos{1, 62}));
        EXPECT_EQ(scrollY(), 60 * 64);
        // The list stays open for the next diagnostic.
        ClickRow(list, 1);
        EXPECT_EQ(view().markedCell(), (CellPos{8, 15}));
        EXPECT_EQ(scrollY(), 13 * 64);
        box.okButton()->click();
    }));
    EXPECT_EQ(view().markedCell(), CellPos{});

    ASSERT_TRUE(WithList([](ErrorListDialog& box, QTableWidget& list) {
        ClickRow(list, 0);
        box.close();
    }));
    EXPECT_EQ(view().markedCell(), (CellPos{1, 62}));

    // A new diagram has nothing to list: the message, no list.
    frame().action(cmd::FileNew)->trigger();
    EXPECT_FALSE(WithList([](ErrorListDialog&, QTableWidget&) {}));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"No hay errores registrados"});
}

// At the window's first-start size the list opens clear of the rows a click
// brings the marked cell to, and no click needs to move it.
TEST_F(ErrorListAndBudgetTest, TheListStandsClearOfEveryCellItMarks) {
    frame().resize(670, 400);
    frame().move(0, 0);
    Load("code_overflow");
    ASSERT_EQ(app->KeepCompilation(CompileToFiles(doc().model(), "")), CompileResult::Errors);

    ASSERT_TRUE(WithList([this](ErrorListDialog& box, QTableWidget& list) {
        const QPoint opened = box.pos();
        for (int row = 0; row < list.rowCount(); ++row) {
            ClickRow(list, row);
            const CellPos marked = view().markedCell();
            const QPoint scroll(view().horizontalScrollBar()->value(), scrollY());
            const QRect cell(view().viewport()->mapToGlobal(QPoint(marked.column, marked.row) * 64 - scroll),
                             QSize(64, 64));
            EXPECT_FALSE(box.frameGeometry().intersects(cell)) << "row " << row;
        }
        EXPECT_EQ(box.pos(), opened);
    }));
}

TEST_F(ErrorListAndBudgetTest, TheBudgetFollowsTheDiagramAndLeavesTheLastCompilationAlone) {
    EXPECT_EQ(BudgetShown(), "Código 0/256 bytes · Temp. 0/12 · Cont. 0/4 · Errores 0 · Warnings 0");
    Load("every_instruction");
    // This program sets outputs it never resets, and so on: its observations come last.
    EXPECT_EQ(BudgetShown(),
              "Código 113/256 bytes · Temp. 6/12 · Cont. 2/4 · Errores 0 · Warnings 0 · 5 observaciones");
    ASSERT_EQ(app->KeepCompilation(CompileToFiles(doc().model(), "")), CompileResult::Clean);
    const CompileOutput& compiled = app->lastCompile().output;

    // Two edits in one go: the RJP of block 6 and the END of block 7 go; the
    // program no longer ends properly and its call has no return.
    for (const int row : {BlockFirstRow(6) + 2, BlockFirstRow(7)}) {
        doc().model().grid.at(row, 1) = LadderCell{};
        emit view().diagramChanged();
    }
    // The compile worker works on the document's model: the measure comes first.
    bool pendingWhileCompiling = true;
    dialogs.compileRunner = [&](const std::string&) {
        pendingWhileCompiling = budget().pending();
        return CompileResult::Cancelled;
    };
    frame().action(cmd::Compile)->trigger();
    EXPECT_FALSE(pendingWhileCompiling);
    EXPECT_EQ(BudgetShown(),
              "Código 111/256 bytes · Temp. 6/12 · Cont. 2/4 · Errores 1 · Warnings 1 · 5 observaciones");

    // The application's compiler still holds its own compilation.
    EXPECT_EQ(compiled.diagnostics.size(), 0u);
    EXPECT_EQ(compiled.image.codeLength, 113);
    EXPECT_TRUE(compiled.finalImage);

    // A click lists what the counts say.
    budget().click();
    ASSERT_EQ(dialogs.opened, (std::vector<std::string>{"compile", "currentDiagnostics"}));
    ASSERT_EQ(dialogs.currentDiagnostics.back().size(), 2u);
    EXPECT_EQ(dialogs.currentDiagnostics.back()[0].key, DiagLastInstruction);
    EXPECT_EQ(dialogs.currentDiagnostics.back()[1].key, DiagCallWithoutReturn);
}

}  // namespace
}  // namespace velmorin
