#include "compiler/program_checks.h"

namespace velmorin {
namespace {

constexpr int32_t NestingLimit = 5;

void CheckLastInstruction(CompileState& state) {
    if (state.lastEmittedElement == ElementEnd || state.lastEmittedElement == ElementRjp) return;
    if (state.lastBlockRecordCount > 0)
        RaiseDiagnostic(state, state.lastBlockRecordCount - 1, DiagLastInstruction);
    else
        RaiseDiagnosticAt(state, 0, 0, DiagLastInstruction);
}

// A jump beyond the last block that returns would run off into code that
// never gives control back.
void CheckReturnAfterTargets(CompileState& state) {
    if (state.jumpCount == 0) return;
    int32_t lastReturnBlock = 0;
    int32_t farthest = 0;
    for (int32_t n = 0; n < state.jumpCount; ++n) {
        const JumpEntry& e = state.jumps[n];
        if (e.entryKind == JumpReturn) lastReturnBlock = e.block;
        if (e.target > state.jumps[farthest].target) farthest = n;
    }
    if (lastReturnBlock < state.jumps[farthest].target) {
        const JumpEntry& e = state.jumps[farthest];
        RaiseDiagnosticAt(state, e.column, e.row, DiagCallWithoutReturn);
    }
}

// Adds one for every jump at or after `from` that sits in block `target`,
// following each into its own target; stops once the limit is passed.
void CountNesting(const CompileState& state, int32_t from, int32_t target, int32_t& count) {
    for (int32_t x = from; x < state.jumpCount && count <= NestingLimit; ++x) {
        const JumpEntry& e = state.jumps[x];
        if (e.entryKind != JumpThrough || e.block != target) continue;
        ++count;
        if (count > NestingLimit) return;
        CountNesting(state, x, e.target, count);
    }
}

void CheckCallNesting(CompileState& state) {
    for (int32_t j = 0; j < state.jumpCount; ++j) {
        int32_t count = 1;
        CountNesting(state, j, state.jumps[j].target, count);
        if (count > NestingLimit) RaiseDiagnosticAt(state, state.jumps[j].column, state.jumps[j].row, DiagNestingOverflow);
    }
}

}  // namespace

void CheckProgram(CompileState& state) {
    CheckLastInstruction(state);
    CheckReturnAfterTargets(state);
    CheckCallNesting(state);
}

}  // namespace velmorin
