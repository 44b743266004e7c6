#include "editor/print_layout.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmorin {
namespace {

TEST(PrintLayout, PagesReachTheLastRowInUse) {
    struct Case {
        const char* what;
        int32_t row, column, shape;
        int32_t pages;
    } cases[] = {
        {"empty diagram", -1, 0, 0, 1},
        {"last used row 12", 12, 4, KindHorizontal, 1},
        {"last used row 13", 13, 1, KindContactOpen, 2},
        {"row 25", 25, 8, KindCoil, 3},
        {"the last row", 96, 5, KindVertical, 8},
        {"rails do not count", 60, 0, KindCross, 1},
        {"nor the right rail", 60, 9, KindCross, 1},
        {"a pending erasure is still drawn", 40, 3, KindBlank, 4},
    };
    for (const Case& c : cases) {
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        if (c.row >= 0) model->grid.at(c.row, c.column).shape = c.shape;
        EXPECT_EQ(PrintPageCount(model->grid), c.pages) << c.what;
    }
}

TEST(PrintLayout, PagesHoldTwelveRowsPrintedPlain) {
    EXPECT_EQ(PrintPageRows(1).first, 1);
    EXPECT_EQ(PrintPageRows(1).last, 12);
    EXPECT_EQ(PrintPageRows(8).first, 85);
    EXPECT_EQ(PrintPageRows(8).last, 96);
    EXPECT_EQ(PrintPageRows(9).last, 96);
    EXPECT_TRUE(PrintPageRows(9).last < PrintPageRows(9).first);

    const PaintInputs inputs = PrintPageInputs(2);
    EXPECT_TRUE(inputs.printing);
    EXPECT_EQ(inputs.rows.first, 13);
    EXPECT_EQ(inputs.rows.last, 24);
}

// Every sheet gets whole blocks at the cells' own size, placed from the
// paper's corner whatever the device's margins, with the page's head above
// the first row and its foot below the last one, inside the printable part
// of the sheet.
TEST(PrintLayout, ASheetTakesTheWholeBlocksThatFitBetweenItsHeadAndFoot) {
    const CellMetrics screen96{169, 169}, screen144{113, 113}, tiny{40, 40};
    struct Case {
        const char* what;
        PrintPaper paper;
        CellMetrics metrics;
        int32_t rowsPerPage;
        LogicalPoint origin;
        int32_t pagesForAllBlocks;
    } cases[] = {
        {"A4 portrait", {2100, 2970}, screen96, 12, {100, 100}, 8},
        {"A4 portrait, a printer's 3.5 mm margins", {2100, 2970, 35, 35, 35, 35}, screen96, 12, {100, 100}, 8},
        {"A4 landscape", {2970, 2100}, screen96, 8, {100, 100}, 12},
        {"A4 landscape, a printer's 3.5 mm margins", {2970, 2100, 35, 35, 35, 35}, screen96, 8, {100, 100}, 12},
        {"Letter landscape", {2794, 2159}, screen96, 8, {100, 100}, 12},
        {"A5 portrait", {1480, 2100}, screen96, 8, {100, 100}, 12},
        {"a printer with wide margins", {2100, 2970, 150, 350, 150, 350}, screen96, 8, {150, 350}, 12},
        {"smaller cells fit three blocks across landscape", {2970, 2100}, screen144, 12, {100, 100}, 8},
        {"cells too small to leave the head room above them", {2100, 2970}, tiny, 12, {100, 110}, 8},
    };
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    model->grid.at(96, 4).shape = KindHorizontal;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PrintLayout layout = LayOutPrint(c.paper, c.metrics);
        EXPECT_EQ(layout.rowsPerPage, c.rowsPerPage);
        EXPECT_EQ(layout.origin.x, c.origin.x);
        EXPECT_EQ(layout.origin.y, c.origin.y);
        const int32_t pages = PrintPageCount(model->grid, layout);
        EXPECT_EQ(pages, c.pagesForAllBlocks);
        const int32_t printableBottom = c.paper.height - std::max(PrintMargin, c.paper.marginBottom);
        const PageFrame& frame = layout.frame;
        EXPECT_EQ(frame.headTop, std::max(PrintMargin, c.paper.marginTop));
        EXPECT_EQ(frame.footBottom, printableBottom);
        EXPECT_EQ(frame.left, c.origin.x);
        EXPECT_EQ(frame.right, c.paper.width - std::max(PrintMargin, c.paper.marginRight));
        EXPECT_LT(frame.headBottom, frame.footTop);
        for (int32_t page = 1; page <= pages; ++page) {
            const RowRange rows = PrintPageRows(page, layout);
            EXPECT_EQ((rows.first - 1) % BlockRows, 0) << "page " << page << " starts inside a block";
            const LogicalPoint first = PrintCellOrigin(page, rows.first, 0, c.metrics, layout);
            const LogicalPoint last = PrintCellOrigin(page, rows.last, 9, c.metrics, layout);
            EXPECT_EQ(first.x, c.origin.x + c.metrics.w);                    // one column right
            EXPECT_EQ(first.y + c.metrics.h, c.origin.y + 3 * c.metrics.h);  // lower edge three rows down
            EXPECT_GE(first.y, frame.bodyTop()) << "page " << page << " under its head";
            EXPECT_LE(last.y + c.metrics.h, frame.bodyBottom()) << "page " << page << ", row " << rows.last;
        }
    }
    // A sheet too short for one block still gets one to a page.
    EXPECT_EQ(LayOutPrint({1480, 1050}, screen96).rowsPerPage, 4);
}

}  // namespace
}  // namespace velmorin
