#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "compile_helpers.h"
#include "compiler/diagnostics.h"

namespace velmorin::testing {
namespace {

TEST(DiagnosticList, SameKeyAtTheSamePlaceIsStoredAndCountedOnceUntilReset) {
    DiagnosticList list;
    EXPECT_EQ(list.Raise(DiagBranchJoinFailed, 3, 2), 1);
    EXPECT_EQ(list.Raise(DiagBranchJoinFailed, 3, 2), 1);
    EXPECT_EQ(list.Raise(DiagShortCircuit, 3, 2), 1);  // another key at the same place
    EXPECT_EQ(list.Raise(DiagBranchJoinFailed, 3, 1), 1);
    EXPECT_EQ(list.size(), 3);
    EXPECT_EQ(list.errorCount(), 2);
    EXPECT_EQ(list.warningCount(), 1);
    list.Reset();
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.warningCount(), 0);
    EXPECT_EQ(list.Raise(DiagBranchJoinFailed, 3, 2), 1);
    EXPECT_EQ(list.errorCount(), 1);
}

TEST(DiagnosticList, EntryAtIndex498IsFollowedByTheOverflowMarker) {
    DiagnosticList list;
    for (int i = 0; i < 498; ++i) ASSERT_EQ(list.Raise(DiagReverseFlow, i % 10, i / 10), 1);
    EXPECT_EQ(list.size(), 498);
    EXPECT_EQ(list.Raise(DiagInvalidCombination, 1, 90), 1);
    ASSERT_EQ(list.size(), 500);
    EXPECT_EQ(list.at(498), (DiagnosticEntry{DiagInvalidCombination, 1, 90}));
    EXPECT_EQ(list.at(499), (DiagnosticEntry{DiagTooManyErrors, 0, 0}));
    // The marker is not an error of its own.
    EXPECT_EQ(list.errorCount(), 1);
    EXPECT_EQ(list.warningCount(), 498);
    // Full: later diagnostics are counted but not stored.
    EXPECT_EQ(list.Raise(DiagOutOfMemory, 2, 90), 0);
    EXPECT_EQ(list.Raise(DiagLastInstruction, 3, 90), 0);
    EXPECT_EQ(list.size(), 500);
    EXPECT_EQ(list.errorCount(), 2);
    EXPECT_EQ(list.warningCount(), 499);
}

TEST(DiagnosticCatalogue, WarningsBeginWithASpaceAndErrorsWithError) {
    for (int key = 0; key < DiagnosticKeyCount; ++key) {
        const std::string text = DiagnosticMessage(key);
        if (DiagnosticCatalogue[key].isError)
            EXPECT_EQ(text.rfind("Error: ", 0), 0u) << key;
        else
            EXPECT_EQ(text.rfind(" Obs.: ", 0), 0u) << key;
    }
    EXPECT_EQ(DiagnosticMessage(6), "Error: Combinación de ramal inválida");
    EXPECT_EQ(DiagnosticMessage(17), "");
}

TEST(DiagnosticLine, NamesTheBlockLabelRowWithinBlockAndColumn) {
    Diagram d;
    EXPECT_EQ(FormatDiagnosticLine(d.model(), {DiagBranchJoinFailed, 3, 8}),
              "ETQ02 Y4 X3: Error: No se pudo unir el ramal");
    EXPECT_EQ(FormatDiagnosticLine(d.model(), {DiagShortCircuit, 2, 96}),
              "ETQ24 Y4 X2:  Obs.: Elemento en cortocircuito");
    EXPECT_EQ(FormatDiagnosticLine(d.model(), {DiagReverseFlow, 5, 9}), "ETQ03 Y1 X5:  Obs.: Posible flujo inverso de datos");
    // Row 0 (the overflow marker's place) reads as label 0, row 0.
    EXPECT_EQ(FormatDiagnosticLine(d.model(), {DiagTooManyErrors, 0, 0}), "ETQ01 Y0 X0: Error: Demasiados errores");
}

}  // namespace
}  // namespace velmorin::testing
