#include "compiler/reduction_passes.h"

#include <array>
#include <cassert>
#include <utility>

#include "compiler/chain_ops.h"
#include "compiler/instruction_set.h"

namespace velmorin {
namespace {

bool IsHead(const CompileState& state, int32_t i) { return state.records[i].link == LinkHead; }

bool NodeCountAbove2(const CompileState& state, int32_t column, int32_t row) {
    for (int32_t n = 0; n < state.nodeCount; ++n) {
        const NodeCount& node = state.nodes[n];
        if (SameNode(node.column, node.row, column, row) && node.count > 2) return true;
    }
    return false;
}

}  // namespace

void ShortCircuitCheck(CompileState& state) {
    for (int32_t i = 0; i < state.collectedCount; ++i) {
        CodeRecord& r = state.records[i];
        if (r.link != LinkHead) continue;
        if (SameNode(r.inColumn, r.inRow, r.outColumn, r.outRow)) {
            RaiseDiagnostic(state, i, DiagShortCircuit);
            r.link = LinkFree;
        }
    }
}

bool ParallelPass(CompileState& state) {
    bool changed = false;
    for (int32_t i = 0; i < state.collectedCount; ++i) {
        for (int32_t j = 0; j < state.collectedCount && IsHead(state, i); ++j) {
            if (j == i || !IsHead(state, j)) continue;
            const CodeRecord& ri = state.records[i];
            const CodeRecord& rj = state.records[j];
            if (!SameNode(ri.inColumn, ri.inRow, rj.inColumn, rj.inRow) ||
                !SameNode(ri.outColumn, ri.outRow, rj.outColumn, rj.outRow))
                continue;
            // Two edges between the same nodes are one parallel pair; a lone
            // contact becomes the or-ed branch of the other.
            int32_t survivor = i;
            int32_t branch = j;
            if (ri.next == NoNext && IsLoad(ri.element)) std::swap(survivor, branch);
            if (ParallelJoin(state, survivor, branch)) changed = true;
        }
    }
    return changed;
}

bool SeriesPass(CompileState& state) {
    bool changed = false;
    for (int32_t i = 0; i < state.collectedCount; ++i) {
        for (int32_t j = 0; j < state.collectedCount && IsHead(state, i); ++j) {
            if (j == i || !IsHead(state, j)) continue;
            // i feeds j through a node nothing else touches: j runs after i.
            const CodeRecord& ri = state.records[i];
            const CodeRecord& rj = state.records[j];
            if (SameNode(ri.outColumn, ri.outRow, rj.inColumn, rj.inRow) &&
                !NodeCountAbove2(state, ri.outColumn, ri.outRow)) {
                SeriesJoin(state, i, j);
                changed = true;
            }
            if (!IsHead(state, i) || !IsHead(state, j)) continue;
            // j feeds i the same way: i runs after j.
            if (SameNode(ri.inColumn, ri.inRow, rj.outColumn, rj.outRow) &&
                !NodeCountAbove2(state, ri.inColumn, ri.inRow)) {
                SeriesJoin(state, j, i);
                changed = true;
            }
        }
    }
    return changed;
}

bool BranchOutPass(CompileState& state) {
    bool changed = false;
    std::array<int32_t, RecordSlots> branches{};
    for (int32_t i = 0; i < state.collectedCount; ++i) {
        if (!IsHead(state, i)) continue;
        const int32_t fanColumn = state.records[i].outColumn;
        const int32_t fanRow = state.records[i].outRow;
        int32_t count = 0;
        for (int32_t h = 0; h < state.collectedCount; ++h) {
            if (h == i || !IsHead(state, h)) continue;
            if (SameNode(state.records[h].inColumn, state.records[h].inRow, fanColumn, fanRow)) branches[count++] = h;
        }
        if (count < 2) continue;

        // Only a pure fan-out: no branch may feed another head yet.
        bool feedsOn = false;
        for (int32_t n = 0; n < count && !feedsOn; ++n) {
            const CodeRecord& b = state.records[branches[n]];
            for (int32_t h = 0; h < state.collectedCount && !feedsOn; ++h) {
                if (h == branches[n] || !IsHead(state, h)) continue;
                feedsOn = SameNode(b.outColumn, b.outRow, state.records[h].inColumn, state.records[h].inRow);
            }
        }
        if (feedsOn) continue;

        bool allOut = true;
        for (int32_t n = 0; n < count; ++n) allOut = allOut && state.records[branches[n]].element == ElementOut;

        // Coils go first: whole records change places in the branch slots.
        for (int32_t p = 0; p + 1 < count; ++p) {
            for (int32_t q = p + 1; q < count; ++q) {
                if (state.records[branches[q]].element != ElementOut) continue;
                std::swap(state.records[branches[p]], state.records[branches[q]]);
                // Each record's successor must name the slot that holds it now.
                for (int32_t slot : {branches[p], branches[q]}) {
                    const int32_t next = state.records[slot].next;
                    if (next >= 0 && next < state.recordCount) state.records[next].link = slot;
                }
            }
        }

        // Branches that change the accumulator run between a set and a reset
        // of the common value.
        if (!allOut) AppendInstruction(state, i, ElementCs);
        bool linked = true;
        for (int32_t n = 0; n < count && linked; ++n)
            linked = LinkChain(state, i, branches[n], LinkMode::BranchOut) >= 0;
        if (!allOut && linked) AppendInstruction(state, i, ElementCr);
        changed = true;
    }
    return changed;
}

void TwoRowSplicePass(CompileState& state) {
    for (int32_t i = 0; i < state.recordCount; ++i) {
        const CodeRecord& upper = state.records[i];
        if (upper.shape != KindBoxUpperHalf || upper.link < 0) continue;
        int32_t j = -1;
        for (int32_t q = 0; q < state.recordCount; ++q) {
            const CodeRecord& r = state.records[q];
            if (r.shape == KindBoxLowerHalf && r.row == upper.row + 1 && r.column == upper.column) {
                j = q;
                break;
            }
        }
        if (j < 0 || state.records[j].link == LinkHead) {
            RaiseDiagnostic(state, i, DiagTimerUnresolved);
            continue;
        }
        int32_t c = j;
        for (int32_t steps = 0; state.records[c].link >= 0; ++steps) {
            if (steps >= MaxChainRecords || state.records[c].link >= state.recordCount) {
                RaiseDiagnostic(state, i, DiagTimerUnresolved);
                return;
            }
            c = state.records[c].link;
        }
        // The lower half's chain runs just before the upper half: the element
        // takes both accumulator values.
        const int32_t a = upper.link;
        assert(a >= 0 && a < state.recordCount);
        state.records[a].next = c;
        state.records[c].link = a;
        state.records[j].next = i;
        state.records[i].link = j;
    }
}

}  // namespace velmorin
