#include "compiler/block_analysis.h"

#include <utility>

#include "compiler/compiler.h"
#include "compiler/numbers.h"
#include "compiler/reduction_passes.h"

namespace velmorin {

void CollectRecords(CompileState& state, int32_t firstRow) {
    int32_t count = 0;
    for (int32_t row = firstRow; row < firstRow + BlockRows && row < GridRows; ++row) {
        for (int32_t column = 0; column < GridColumns - 1; ++column) {
            const CellNode& entry = state.cellNode(row, column);
            if (!KindHas(entry.shape, AttrElement)) continue;
            // Four rows of nine cells always fit in the table.
            CodeRecord& r = state.records[count++];
            r.link = LinkHead;
            r.next = NoNext;
            r.column = entry.column;
            r.row = entry.row;
            r.inColumn = entry.inColumn;
            r.inRow = entry.inRow;
            r.outColumn = entry.outColumn;
            r.outRow = entry.outRow;
            r.element = entry.element;
            r.shape = entry.shape;
            r.spare = 0;
        }
    }
    state.collectedCount = state.recordCount = count;
}

void OrientRecords(CompileState& state) {
    for (int32_t i = 0; i < state.recordCount; ++i) {
        for (int32_t j = i + 1; j < state.recordCount; ++j) {
            CodeRecord& a = state.records[i];
            const CodeRecord& b = state.records[j];
            // Two elements wired end to end both ways: turn the first round.
            if (SameNode(a.inColumn, a.inRow, b.outColumn, b.outRow) &&
                SameNode(a.outColumn, a.outRow, b.inColumn, b.inRow)) {
                std::swap(a.inColumn, a.outColumn);
                std::swap(a.inRow, a.outRow);
            }
        }
    }
}

void SortRecords(CompileState& state) {
    for (int32_t p = 0; p < state.recordCount; ++p)
        for (int32_t q = p + 1; q < state.recordCount; ++q)
            if (state.records[q].inColumn < state.records[p].inColumn) std::swap(state.records[p], state.records[q]);
}

void ReverseFlowCheck(CompileState& state) {
    for (int32_t i = 0; i < state.recordCount; ++i)
        if (state.records[i].outColumn < state.records[i].inColumn) RaiseDiagnostic(state, i, DiagReverseFlow);
}

namespace {

void CountNode(CompileState& state, int32_t recordIndex, int32_t column, int32_t row) {
    if (NodeValid(column, row)) {
        for (int32_t n = 0; n < state.nodeCount; ++n) {
            NodeCount& node = state.nodes[n];
            if (node.column == column && node.row == row) {
                ++node.count;
                return;
            }
        }
    }
    // More nodes than the table holds: the block cannot be compiled as drawn.
    if (state.nodeCount >= NodeSlots) {
        RaiseDiagnostic(state, recordIndex, DiagInvalidCombination);
        return;
    }
    state.nodes[state.nodeCount++] = {column, row, 1};
}

}  // namespace

void BuildNodeTable(CompileState& state) {
    state.nodeCount = 0;
    for (int32_t i = 0; i < state.recordCount; ++i) {
        CountNode(state, i, state.records[i].inColumn, state.records[i].inRow);
        CountNode(state, i, state.records[i].outColumn, state.records[i].outRow);
    }
}

int RunReductionPasses(CompileState& state) {
    const bool report = state.callbacks != nullptr && state.callbacks->progress;
    int32_t pass = 1;
    while (true) {
        if (report) {
            std::string text = "1-";
            AppendZeroPadded(text, state.block, 2);
            text += '-';
            AppendZeroPadded(text, pass, 2);
            state.callbacks->progress(text);
        }
        if (state.cancelled()) return 0;
        bool changed = false;
        switch (pass) {
            case 1:
                ShortCircuitCheck(state);
                changed = ParallelPass(state);
                break;
            case 2: changed = SeriesPass(state); break;
            case 3: changed = BranchOutPass(state); break;
            default: TwoRowSplicePass(state); return 1;
        }
        pass = changed ? 1 : pass + 1;
    }
}

void FinalCombinationCheck(CompileState& state) {
    for (int32_t i = 0; i < state.recordCount; ++i) {
        const CodeRecord& head = state.records[i];
        if (head.link != LinkHead) continue;
        // A head that is fed, shares its input, feeds on and shares its
        // output sits in a bridge no join can resolve.
        int32_t seen = 0;
        for (int32_t q = 0; q < state.recordCount; ++q) {
            const CodeRecord& r = state.records[q];
            if (SameNode(r.outColumn, r.outRow, head.inColumn, head.inRow))
                seen |= 1;
            else if (SameNode(r.inColumn, r.inRow, head.inColumn, head.inRow))
                seen |= 2;
            else if (SameNode(r.inColumn, r.inRow, head.outColumn, head.outRow))
                seen |= 4;
            else if (SameNode(r.outColumn, r.outRow, head.outColumn, head.outRow))
                seen |= 8;
        }
        if (seen == 15) RaiseDiagnostic(state, i, DiagInvalidCombination);
    }
}

int AnalyseBlock(CompileState& state, int32_t block) {
    state.block = block;
    CollectRecords(state, BlockFirstRow(block));
    OrientRecords(state);
    SortRecords(state);
    ReverseFlowCheck(state);
    BuildNodeTable(state);
    if (RunReductionPasses(state) == 0) return 0;
    FinalCombinationCheck(state);
    return 1;
}

}  // namespace velmorin
