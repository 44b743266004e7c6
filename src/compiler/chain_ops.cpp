#include "compiler/chain_ops.h"

#include <cassert>

#include "compiler/instruction_set.h"

namespace velmorin {
namespace {

bool ValidIndex(const CompileState& state, int32_t index) { return index >= 0 && index < state.recordCount; }

// Tail of the chain from `from`, or -1 when more than `limit` records run
// from it (a damaged or cyclic chain counts as too long).
int32_t TailWithin(const CompileState& state, int32_t from, int32_t limit) {
    int32_t tail = from;
    int32_t count = 1;
    while (state.records[tail].next != NoNext) {
        tail = state.records[tail].next;
        if (!ValidIndex(state, tail) || ++count > limit) return -1;
    }
    return tail;
}

void DecrementNode(CompileState& state, int32_t column, int32_t row) {
    for (int32_t n = 0; n < state.nodeCount; ++n) {
        NodeCount& node = state.nodes[n];
        if (SameNode(node.column, node.row, column, row) && node.count != 0) {
            --node.count;
            return;
        }
    }
}

}  // namespace

int32_t LinkChain(CompileState& state, int32_t a, int32_t b, LinkMode mode) {
    assert(ValidIndex(state, a) && ValidIndex(state, b));
    const int32_t tail = TailWithin(state, a, MaxChainRecords);
    if (tail < 0) {
        RaiseDiagnostic(state, b, DiagInvalidCombination);
        state.records[b].link = LinkFree;
        return -1;
    }
    state.records[tail].next = b;
    state.records[b].link = tail;

    int32_t current = b;
    int32_t following = 0;
    int32_t controlSets = 0;
    while (true) {
        CodeRecord& record = state.records[current];
        record.inColumn = record.inRow = record.outColumn = record.outRow = -1;
        if (record.next == NoNext) return current;
        current = record.next;
        if (!ValidIndex(state, current) || ++following >= MaxChainRecords) {
            RaiseDiagnostic(state, b, DiagInvalidCombination);
            state.records[b].link = LinkFree;
            return -1;
        }
        if (mode == LinkMode::BranchOut && state.records[current].element == ElementCs && ++controlSets > 3) {
            RaiseDiagnostic(state, b, DiagTooManyBranches);
            state.records[b].link = LinkFree;
            return -1;
        }
    }
}

int32_t AppendInstruction(CompileState& state, int32_t a, int32_t element) {
    assert(ValidIndex(state, a));
    const int32_t tail = TailWithin(state, a, MaxChainRecords);
    if (tail < 0) {
        RaiseDiagnostic(state, a, DiagInvalidCombination);
        state.records[a].link = LinkOverflow;
        return -1;
    }
    // The table is full: the block cannot be compiled as drawn.
    if (state.recordCount >= RecordSlots) {
        RaiseDiagnostic(state, a, DiagInvalidCombination);
        return -1;
    }
    const int32_t index = state.recordCount++;
    const CodeRecord& from = state.records[a];
    CodeRecord& added = state.records[index];
    added = from;
    added.element = element;
    added.link = a;
    added.next = NoNext;
    added.shape = ShapeSynthetic;
    added.spare = 0;
    state.records[tail].next = index;
    return index;
}

void SeriesJoin(CompileState& state, int32_t a, int32_t b) {
    CodeRecord& first = state.records[a];
    CodeRecord& second = state.records[b];
    first.outColumn = second.outColumn;
    first.outRow = second.outRow;

    // A single contact after a chain is an and of its operand.
    if (second.next == NoNext && (second.element == ElementLd || second.element == ElementLdn)) {
        second.element = second.element == ElementLd ? ElementAnd : ElementAndn;
        LinkChain(state, a, b);
        return;
    }
    const int32_t tail = LinkChain(state, a, b);
    if (tail < 0) return;
    if (!IsLoad(state.records[b].element)) return;
    // A chain that loads its own accumulator is combined with an andp...
    const int32_t andp = AppendInstruction(state, a, ElementAndp);
    if (andp < 0 || !IsTerminating(state.records[tail].element)) return;
    // ...which must come before the chain's terminating instruction.
    int32_t before = a;
    for (int32_t steps = 0; state.records[before].next != tail; ++steps) {
        before = state.records[before].next;
        if (!ValidIndex(state, before) || steps > MaxEmittedChain) return;
    }
    state.records[before].next = andp;
    state.records[andp].next = tail;
    state.records[tail].link = andp;
    state.records[tail].next = NoNext;
}

bool ParallelJoin(CompileState& state, int32_t a, int32_t b) {
    CodeRecord& branch = state.records[b];
    if (branch.next == NoNext) {
        if (!IsLoad(branch.element)) {
            RaiseDiagnostic(state, b, DiagBranchJoinFailed);
            return false;
        }
        // A single contact beside a chain is an or of its operand.
        if (branch.element == ElementLd)
            branch.element = ElementOr;
        else if (branch.element == ElementLdn)
            branch.element = ElementOrn;
        else
            AppendInstruction(state, b, ElementOrp);
        if (LinkChain(state, a, b) < 0) return true;
    } else {
        // A branch of several records computes its own value and is or-ed in.
        if (LinkChain(state, a, b) < 0) return true;
        if (!IsLoad(state.records[b].element)) {
            RaiseDiagnostic(state, b, DiagBranchJoinFailed);
            return true;
        }
        AppendInstruction(state, a, ElementOrp);
    }
    // The two branches now count as one between the same two nodes.
    const CodeRecord& survivor = state.records[a];
    DecrementNode(state, survivor.inColumn, survivor.inRow);
    DecrementNode(state, survivor.outColumn, survivor.outRow);
    return true;
}

}  // namespace velmorin
