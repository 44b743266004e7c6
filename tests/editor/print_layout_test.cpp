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

}  // namespace
}  // namespace velmorin
