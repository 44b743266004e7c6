#pragma once
// The four rewrites that reduce a block's graph to chains of instructions.
// Passes 1 to 3 return whether they changed anything; pass 4 never restarts.
#include "compiler/compile_state.h"

namespace velmorin {

// Drops every head whose input and output are the same node.
void ShortCircuitCheck(CompileState& state);
bool ParallelPass(CompileState& state);   // pass 1
bool SeriesPass(CompileState& state);     // pass 2
bool BranchOutPass(CompileState& state);  // pass 3
void TwoRowSplicePass(CompileState& state);  // pass 4

}  // namespace velmorin
