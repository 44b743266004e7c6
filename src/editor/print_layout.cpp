#include "editor/print_layout.h"

#include <algorithm>

namespace velmorin {
namespace {

constexpr int32_t PrintColumnShift = 1;     // cell widths to the right
constexpr int32_t PrintFirstLowerEdge = 3;  // cell heights from the top to the first row's lower edge

}  // namespace

int32_t LastUsedRow(const LadderGrid& grid) {
    for (int32_t row = GridRows - 1; row >= 0; --row) {
        for (int32_t column = 1; column <= GridColumns - 2; ++column) {
            if (grid.at(row, column).occupied()) return row;
        }
    }
    return -1;
}

PrintLayout LayOutPrint(const PrintPaper& paper, const CellMetrics& metrics) {
    PrintLayout layout;
    layout.origin = {std::max(PrintMargin, paper.marginLeft), std::max(PrintMargin, paper.marginTop)};
    const int32_t bottom = paper.height - std::max(PrintMargin, paper.marginBottom);
    // The rows start below the empty band over the first one.
    const int32_t room = bottom - layout.origin.y - (PrintFirstLowerEdge - 1) * metrics.h;
    const int32_t blocks = room / (BlockRows * std::max(1, metrics.h));
    layout.rowsPerPage = BlockRows * std::clamp(blocks, 1, PrintRowsPerPage / BlockRows);
    return layout;
}

int32_t PrintPageCount(const LadderGrid& grid, const PrintLayout& layout) {
    const int32_t last = LastUsedRow(grid);
    return std::max(1, (last + layout.rowsPerPage - 1) / layout.rowsPerPage);
}

RowRange PrintPageRows(int32_t page, const PrintLayout& layout) {
    const int32_t rows = layout.rowsPerPage;
    return {rows * page - (rows - 1), std::min(rows * page, GridRows - 1)};
}

PaintInputs PrintPageInputs(int32_t page, const PrintLayout& layout) {
    PaintInputs inputs;
    inputs.rows = PrintPageRows(page, layout);
    inputs.printing = true;
    return inputs;
}

LogicalPoint PrintCellOrigin(int32_t page, int32_t row, int32_t column, const CellMetrics& metrics,
                             const PrintLayout& layout) {
    const int32_t index = row - PrintPageRows(page, layout).first;
    return {layout.origin.x + (column + PrintColumnShift) * metrics.w,
            layout.origin.y + (PrintFirstLowerEdge - 1 + index) * metrics.h};
}

}  // namespace velmorin
