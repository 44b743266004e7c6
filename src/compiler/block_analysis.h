#pragma once
// The analysis of one block: its element cells become CodeRecords, which the
// reduction passes join into chains ready for emission.
#include "compiler/compile_state.h"

namespace velmorin {

// Block k's records, orientation, order, node table, reduction passes and
// final check. Returns 0 when cancelled, else 1.
int AnalyseBlock(CompileState& state, int32_t block);

// The steps of AnalyseBlock, in the order it runs them.
void CollectRecords(CompileState& state, int32_t firstRow);
void OrientRecords(CompileState& state);
void SortRecords(CompileState& state);
void ReverseFlowCheck(CompileState& state);
void BuildNodeTable(CompileState& state);
// Runs the passes until pass 4 has run; 0 when cancelled.
int RunReductionPasses(CompileState& state);
void FinalCombinationCheck(CompileState& state);

}  // namespace velmorin
