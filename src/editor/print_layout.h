#pragma once
// The printed diagram: twelve grid rows to a page, as many pages as reach
// the last row in use, each page shifted one cell to the right and three
// cell heights down from the top of the printable area.
#include <cstdint>

#include "editor/paint_plan.h"
#include "model/ladder_model.h"

namespace velmorin {

constexpr int32_t PrintRowsPerPage = 12;

// The last row (0..96) with a drawable kind in columns 1..8, or -1.
int32_t LastUsedRow(const LadderGrid& grid);

// Pages needed to reach the last used row; at least one.
int32_t PrintPageCount(const LadderGrid& grid);

// Rows 12p - 11 .. 12p of page p (1-based), cut at the grid's last row.
RowRange PrintPageRows(int32_t page);

// The inputs of a page's paint: black, with AND, no highlights or live values.
PaintInputs PrintPageInputs(int32_t page);

struct LogicalPoint {
    int32_t x = 0;
    int32_t y = 0;  // downward
};

// The top-left corner of a cell of a page, in logical units from the top-left
// corner of the printable area.
LogicalPoint PrintCellOrigin(int32_t page, int32_t row, int32_t column, const CellMetrics& metrics);

}  // namespace velmorin
