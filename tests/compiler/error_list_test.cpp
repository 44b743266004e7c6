// The error list's rows and where a click on one leads, without a window.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "compiler/error_list.h"

namespace velmorin {

void PrintTo(const ErrorListRow& r, std::ostream* os) {
    *os << r.number << '|' << r.block << '|' << r.rowInBlock << '|' << r.column << '|' << r.description << '|'
        << r.gridRow;
}

namespace {

TEST(ErrorList, RowsShowNumberLabelNameRowInBlockColumnAndTextAndClicksLeadToTheThirdVisibleRow) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    // Blocks are named by the label's name, never by the user's alias.
    SetFieldText(model->labels[1].alias, "arranque");
    const std::vector<DiagnosticEntry> diagnostics = {
        {DiagBranchJoinFailed, 3, 8},  // the fourth row of block 1
        {DiagShortCircuit, 2, 1},
        {DiagLastInstruction, 8, 96},
        {DiagTooManyErrors, 0, 0},  // row 0: (0 - 1) div and mod 4 taken toward zero
    };
    const std::vector<ErrorListRow> expected = {
        {"000", "ETQ02", " 4", " 3", "Error: No se pudo unir el ramal", 8},
        {"001", "ETQ01", " 1", " 2", " Obs.: Elemento en cortocircuito", 1},
        {"002", "ETQ24", " 4", " 8", " Obs.: La última instrucción debe ser END o RJP", 96},
        {"003", "ETQ01", " 0", " 0", "Error: Demasiados errores", 0},
    };
    EXPECT_EQ(ErrorListRows(*model, diagnostics), expected);

    // Rows 0 to 2 cannot be the third visible row and leave the diagram at its top.
    const ErrorListTarget targets[][2] = {
        {TargetOf(0, 0), {0, 0, 0}}, {TargetOf(2, 5), {2, 5, 0}},    {TargetOf(3, 5), {3, 5, 1}},
        {TargetOf(8, 3), {8, 3, 6}}, {TargetOf(96, 8), {96, 8, 94}},
    };
    for (const auto& [got, want] : targets) EXPECT_TRUE(got == want) << want.row << ": " << got.topRow;
}

TEST(ErrorList, ObservationRowsGiveEachCellItsOwnRowNumberedByItsObservation) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    const auto use = [](int row, int column) {
        OperandUse u;
        u.row = row;
        u.column = column;
        return u;
    };
    const std::vector<Observation> observations = {
        {ObservationKind::DuplicateCoil, 9, "Bobina duplicada: S2", {use(1, 8), use(6, 8)}},
        {ObservationKind::OutputNeverWritten, 11, "La salida S4", {use(96, 1)}},
    };
    const std::vector<ErrorListRow> expected = {
        {"000", "ETQ01", " 1", " 8", "Bobina duplicada: S2", 1},
        {"000", "ETQ02", " 2", " 8", "Bobina duplicada: S2", 6},
        {"001", "ETQ24", " 4", " 1", "La salida S4", 96},
    };
    EXPECT_EQ(ObservationRows(*model, observations), expected);
    EXPECT_TRUE(ObservationRows(*model, {}).empty());
}

}  // namespace
}  // namespace velmorin
