#include "compiler/wire_pass.h"

#include <cassert>

#include "compiler/numbers.h"
#include "compiler/compiler.h"

namespace velmorin {

bool BuildCellNodeTable(CompileState& state, const LadderGrid& grid) {
    bool compilable = false;
    state.cellNodes.fill(NoCellNode);
    for (int32_t row = 0; row < GridRows; ++row) {
        for (int32_t column = 0; column < GridColumns - 1; ++column) {
            CellNode& entry = state.cellNode(row, column);
            entry.shape = ShapeNothing;
            const LadderCell& cell = grid.at(row, column);
            if (KindHas(cell.shape, AttrConnectingWire | AttrCompilable)) {
                entry.column = entry.inColumn = column;
                entry.row = entry.inRow = entry.outRow = row;
                entry.outColumn = column + 1;
                entry.shape = cell.shape;
                entry.element = cell.element;
                // A wire on the right that does not reach back leaves the output open.
                const int32_t right = grid.at(row, column + 1).shape;
                if (KindHas(right, AttrWire) && !KindHas(right, AttrLeft)) {
                    entry.outColumn = -1;
                    entry.outRow = -1;
                }
            }
            if (KindHas(cell.shape, AttrCompilable)) compilable = true;
        }
    }
    return compilable;
}

bool AnyCompilableCell(const LadderGrid& grid) {
    for (int32_t row = 0; row < GridRows; ++row)
        for (int32_t column = 0; column < GridColumns - 1; ++column)
            if (KindHas(grid.at(row, column).shape, AttrCompilable)) return true;
    return false;
}

namespace {

enum Direction { Right, Down, Left, Up };
constexpr int32_t DirectionBits[4] = {AttrRight, AttrDown, AttrLeft, AttrUp};
constexpr int32_t Opposite[4] = {Left, Up, Right, Down};

struct Flood {
    CompileState& state;
    int32_t originColumn;
    int32_t originRow;
    Direction startDirection;

    void Step(int32_t row, int32_t column, Direction d, bool first) {
        if (!first && row == originRow && column == originColumn && d == startDirection) return;
        int32_t nextRow = row;
        int32_t nextColumn = column;
        switch (d) {
            case Right: ++nextColumn; break;
            case Left: --nextColumn; break;
            // A vertical step never leaves the block, and row 0 belongs to none.
            case Up:
                if (row <= 1 || row % BlockRows == 1) return;
                --nextRow;
                break;
            case Down:
                if (row == 0 || row % BlockRows == 0 || row >= GridRows - 1) return;
                ++nextRow;
                break;
        }
        if (nextColumn < 0 || nextColumn > GridColumns - 2) return;
        assert(nextRow >= 0 && nextRow < GridRows);

        CellNode& reached = state.cellNode(nextRow, nextColumn);
        if (KindHas(reached.shape, AttrElement)) {
            if (d == Right || d == Down) {
                reached.inColumn = originColumn;
                reached.inRow = originRow;
            } else {
                reached.outColumn = originColumn;
                reached.outRow = originRow;
            }
            return;
        }
        if (!KindHas(reached.shape, AttrWire)) return;
        const int32_t shape = reached.shape;
        if (!KindHas(shape, DirectionBits[Opposite[d]])) return;
        // Marked before going on: a loop of wires would otherwise be entered again.
        reached.shape = ShapeNothing;
        for (int32_t next = Right; next <= Up; ++next) {
            if (next == Opposite[d] || !KindHas(shape, DirectionBits[next])) continue;
            Step(nextRow, nextColumn, static_cast<Direction>(next), false);
        }
    }
};

}  // namespace

void WirePass(CompileState& state) {
    const bool report = state.callbacks != nullptr && state.callbacks->progress;
    for (int32_t row = 0; row < GridRows; ++row) {
        for (int32_t column = 0; column < GridColumns - 1; ++column) {
            CellNode& entry = state.cellNode(row, column);
            const int32_t shape = entry.shape;
            if (!KindHas(shape, AttrWire)) continue;
            for (int32_t d = Right; d <= Up; ++d) {
                if (!KindHas(shape, DirectionBits[d])) continue;
                Flood flood{state, column, row, static_cast<Direction>(d)};
                flood.Step(row, column, static_cast<Direction>(d), true);
            }
            entry.shape = ShapeNothing;
        }
        if (report) {
            std::string text = "0-0-";
            AppendZeroPadded(text, row, 2);
            state.callbacks->progress(text);
        }
    }
}

}  // namespace velmorin
