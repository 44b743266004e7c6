#pragma once
// The printed diagram: whole blocks to a page (three, twelve rows, on a
// portrait A4 sheet; fewer on a page too short for them, so that no row is
// ever cut), as many pages as reach the last row in use. Each page is placed
// from the paper's corner, the same on every device: one cell to the right
// and three cell heights down to the first row's lower edge, inside a 10 mm
// margin or the device's own when that is wider. A head (file, date) and a
// foot (blocks, page number) frame every page; the rows keep clear of both.
#include <cstdint>

#include "editor/paint_plan.h"
#include "model/ladder_model.h"

namespace velmorin {

constexpr int32_t PrintRowsPerPage = 12;  // the most a page holds
constexpr int32_t PrintMargin = 100;      // 10 mm, in logical units

// The last row (0..96) with a drawable kind in columns 1..8, or -1.
int32_t LastUsedRow(const LadderGrid& grid);

struct LogicalPoint {
    int32_t x = 0;
    int32_t y = 0;  // downward
};

// A sheet as the print device has it, in logical units (0.1 mm): its size
// and the edges it cannot print on.
struct PrintPaper {
    int32_t width = 2100;
    int32_t height = 2970;
    int32_t marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
};

// The head and foot of a page, in logical units from the paper's top-left
// corner: their texts run from `left` to `right`, the head's between
// `headTop` and `headBottom` over a rule, the foot's between `footTop` and
// `footBottom` under one. The body of the page lies between them, a gap
// away from each.
constexpr int32_t PageHeadHeight = 60;
constexpr int32_t PageFootHeight = 60;
constexpr int32_t PageBandGap = 30;

struct PageFrame {
    int32_t left = 0, right = 0;
    int32_t headTop = 0, headBottom = 0;
    int32_t footTop = 0, footBottom = 0;

    int32_t bodyTop() const { return headBottom + PageBandGap; }
    int32_t bodyBottom() const { return footTop - PageBandGap; }
};

struct PrintLayout {
    int32_t rowsPerPage = PrintRowsPerPage;  // a multiple of the block's four rows
    LogicalPoint origin;                     // the diagram's top-left corner, from the paper's
    PageFrame frame;
};

// Where the diagram, the head and the foot go on `paper`, and how many whole
// blocks fit between head and foot at the cells' size (at least one).
PrintLayout LayOutPrint(const PrintPaper& paper, const CellMetrics& metrics);

// Pages needed to reach the last used row; at least one.
int32_t PrintPageCount(const LadderGrid& grid, const PrintLayout& layout = {});

// The rows of page p (1-based), cut at the grid's last row.
RowRange PrintPageRows(int32_t page, const PrintLayout& layout = {});

// The inputs of a page's paint: black, with AND, no highlights or live values.
PaintInputs PrintPageInputs(int32_t page, const PrintLayout& layout = {});

// The top-left corner of a cell of a page, in logical units from the paper's
// top-left corner (from the layout's origin for the default layout).
LogicalPoint PrintCellOrigin(int32_t page, int32_t row, int32_t column, const CellMetrics& metrics,
                             const PrintLayout& layout = {});

}  // namespace velmorin
