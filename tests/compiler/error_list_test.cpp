// The error list's rows and where a click on one leads, without a window.
#include <gtest/gtest.h>

#include <memory>

#include "compiler/error_list.h"

namespace velmorin {
namespace {

TEST(ErrorListRows, ShowNumberLabelNameRowInBlockColumnAndText) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    // The list names blocks by the label's name, never by the user's alias.
    SetFieldText(model->labels[1].alias, "arranque");
    const std::vector<DiagnosticEntry> diagnostics = {
        {DiagBranchJoinFailed, 3, 8},  // the fourth row of block 1
        {DiagShortCircuit, 2, 1},
        {DiagLastInstruction, 8, 96},
        {DiagTooManyErrors, 0, 0},  // the overflow marker: (0 - 1) div and mod 4 taken toward zero
    };
    const std::vector<ErrorListRow> expected = {
        {"000", "ETQ02", " 4", " 3", "Error: No se pudo unir el ramal", 8},
        {"001", "ETQ01", " 1", " 2", " Obs.: Elemento en cortocircuito", 1},
        {"002", "ETQ24", " 4", " 8", " Obs.: La última instrucción debe ser END o RJP", 96},
        {"003", "ETQ01", " 0", " 0", "Error: Demasiados errores", 0},
    };
    const std::vector<ErrorListRow> rows = ErrorListRows(*model, diagnostics);
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].number, expected[i].number);
        EXPECT_EQ(rows[i].block, expected[i].block);
        EXPECT_EQ(rows[i].rowInBlock, expected[i].rowInBlock);
        EXPECT_EQ(rows[i].column, expected[i].column);
        EXPECT_EQ(rows[i].description, expected[i].description);
        EXPECT_EQ(rows[i].gridRow, expected[i].gridRow);
    }
}

TEST(ErrorListRows, NumbersKeepThreeDigitsUpToAFullList) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    std::vector<DiagnosticEntry> diagnostics(DiagnosticCapacity, DiagnosticEntry{DiagReverseFlow, 1, 1});
    const std::vector<ErrorListRow> rows = ErrorListRows(*model, diagnostics);
    ASSERT_EQ(rows.size(), 500u);
    EXPECT_EQ(rows[9].number, "009");
    EXPECT_EQ(rows[499].number, "499");
}

TEST(ErrorListTarget, MarksTheCellAndScrollsItToTheThirdVisibleRow) {
    struct Case {
        int row, column, scrollY;
    };
    // 64 pixels a row; rows 1 and 2 cannot be the third row and leave the diagram at its top.
    for (const Case c :
         {Case{0, 0, 0}, Case{1, 1, 0}, Case{2, 5, 0}, Case{3, 5, 64}, Case{8, 3, 384}, Case{96, 8, 94 * 64}}) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(TargetOf(c.row, c.column), (ErrorListTarget{c.row, c.column, c.scrollY}));
    }
}

}  // namespace
}  // namespace velmorin
