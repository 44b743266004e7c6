// The live budget in the status bar through a session: it follows loads,
// edits and New, never touches the application's compiler, is measured
// before a compilation starts, and a click lists its diagnostics.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QStatusBar>

#include <vector>

#include "app/CommandTable.h"
#include "app/shell_test_support.h"
#include "compiler/error_list.h"
#include "compiler/ui/BudgetIndicator.h"
#include "editor/ui/CVelmorinView.h"

namespace velmorin {
namespace {

using testing::ShellTest;

class BudgetIndicatorTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
    }

    BudgetIndicator& budget() { return *frame().budgetIndicator(); }

    // The measure runs once the events queued so far have been handled.
    std::string Shown() {
        QDeadlineTimer deadline(5000);
        while (budget().pending() && !deadline.hasExpired()) QApplication::processEvents();
        EXPECT_FALSE(budget().pending());
        return budget().text().toStdString();
    }

    void Load(const char* golden) {
        const QString path = QStringLiteral(VELMORIN_SOURCE_DIR "/tests/compiler/golden/%1/%1.ldr").arg(golden);
        ASSERT_TRUE(doc().LoadDocument(path));
    }

    void Edited() { emit frame().view()->diagramChanged(); }
};

TEST_F(BudgetIndicatorTest, FollowsTheDiagramWithoutDisturbingTheLastCompilation) {
    EXPECT_TRUE(budget().isVisibleTo(frame().statusBar()));
    EXPECT_EQ(Shown(), "Código 0/256 bytes · Temp. 0/12 · Cont. 0/4 · Errores 0 · Warnings 0");

    Load("every_instruction");
    EXPECT_EQ(Shown(), "Código 113/256 bytes · Temp. 6/12 · Cont. 2/4 · Errores 0 · Warnings 0");

    // A real compilation of the program as loaded.
    Compiler& compiler = app->compiler();
    ASSERT_EQ(compiler.Prepare(doc().model(), ""), PrepareOutcome::Started);
    compiler.Run(doc().model(), CompileCallbacks{});
    ASSERT_TRUE(compiler.hasFinalImage());
    const std::vector<uint8_t> image(compiler.imageBytes(), compiler.imageBytes() + 256);

    // Two edits in one go (measured once): the RJP of block 6 and the END of
    // block 7 go; the program no longer ends properly and its call has no return.
    for (const int row : {BlockFirstRow(6) + 2, BlockFirstRow(7)}) {
        LadderCell& cell = doc().model().grid.at(row, 1);
        ASSERT_TRUE(cell.element == ElementRjp || cell.element == ElementEnd);
        cell = LadderCell{};
        Edited();
    }
    EXPECT_EQ(Shown(), "Código 111/256 bytes · Temp. 6/12 · Cont. 2/4 · Errores 1 · Warnings 1");
    std::vector<int> keys;
    for (const DiagnosticEntry& d : budget().budget().diagnostics) keys.push_back(d.key);
    EXPECT_EQ(keys, (std::vector<int>{DiagLastInstruction, DiagCallWithoutReturn}));

    // The application's compiler still holds its own compilation.
    EXPECT_EQ(compiler.diagnosticCount(), 0);
    EXPECT_EQ(compiler.codeLength(), 113);
    EXPECT_TRUE(compiler.hasFinalImage());
    EXPECT_EQ(std::vector<uint8_t>(compiler.imageBytes(), compiler.imageBytes() + 256), image);

    // A click lists what the counts say.
    budget().click();
    ASSERT_EQ(dialogs.opened, std::vector<std::string>{"currentDiagnostics"});
    EXPECT_EQ(dialogs.currentDiagnostics.back(), budget().budget().diagnostics);

    frame().action(cmd::FileNew)->trigger();
    EXPECT_EQ(Shown(), "Código 0/256 bytes · Temp. 0/12 · Cont. 0/4 · Errores 0 · Warnings 0");
    EXPECT_TRUE(budget().budget().diagnostics.empty());
}

TEST_F(BudgetIndicatorTest, AnEditNotMeasuredYetIsMeasuredBeforeTheCompilationStarts) {
    Load("code_overflow");
    EXPECT_EQ(Shown(), "Código 253/256 bytes · Temp. 1/12 · Cont. 0/4 · Errores 1 · Warnings 1");
    // The program fits once block 15 is gone.
    for (int row = BlockFirstRow(15); row < BlockFirstRow(16); ++row)
        for (int column = 1; column <= 8; ++column) doc().model().grid.at(row, column) = LadderCell{};
    Edited();
    // The compile dialog's worker works on the document's model: no measure may be left to run beside it.
    bool pendingWhileCompiling = true;
    dialogs.compileRunner = [&](const std::string&) {
        pendingWhileCompiling = budget().pending();
        return CompileResult::Cancelled;
    };
    frame().action(cmd::Compile)->trigger();
    ASSERT_EQ(dialogs.opened, std::vector<std::string>{"compile"});
    EXPECT_FALSE(pendingWhileCompiling);
    EXPECT_EQ(budget().text().toStdString(), "Código 241/256 bytes · Temp. 0/12 · Cont. 0/4 · Errores 0 · Warnings 0");
}

}  // namespace
}  // namespace velmorin
