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
    PageFrame& frame = layout.frame;
    frame.left = std::max(PrintMargin, paper.marginLeft);
    frame.right = paper.width - std::max(PrintMargin, paper.marginRight);
    frame.headTop = std::max(PrintMargin, paper.marginTop);
    frame.headBottom = frame.headTop + PageHeadHeight;
    frame.footBottom = paper.height - std::max(PrintMargin, paper.marginBottom);
    frame.footTop = frame.footBottom - PageFootHeight;
    // The head sits in the empty band over the first row; only cells too
    // small to leave it room push the diagram down.
    const int32_t band = (PrintFirstLowerEdge - 1) * metrics.h;
    layout.origin = {frame.left, frame.headTop + std::max(0, frame.bodyTop() - frame.headTop - band)};
    const int32_t room = frame.bodyBottom() - layout.origin.y - band;
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
