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

int32_t PrintPageCount(const LadderGrid& grid) {
    const int32_t last = LastUsedRow(grid);
    return std::max(1, (last + PrintRowsPerPage - 1) / PrintRowsPerPage);
}

RowRange PrintPageRows(int32_t page) {
    return {PrintRowsPerPage * page - (PrintRowsPerPage - 1), std::min(PrintRowsPerPage * page, GridRows - 1)};
}

PaintInputs PrintPageInputs(int32_t page) {
    PaintInputs inputs;
    inputs.rows = PrintPageRows(page);
    inputs.printing = true;
    return inputs;
}

LogicalPoint PrintCellOrigin(int32_t page, int32_t row, int32_t column, const CellMetrics& metrics) {
    const int32_t index = row - PrintPageRows(page).first;
    return {(column + PrintColumnShift) * metrics.w, (PrintFirstLowerEdge - 1 + index) * metrics.h};
}

}  // namespace velmorin
