#include <gtest/gtest.h>

#include "model/tool_state.h"

namespace velmorin {
namespace {

int CheckedCount(const ToolState& tools) {
    int count = 0;
    for (int kind = 0; kind < ToolFlagCount; ++kind) count += tools.checked(kind) ? 1 : 0;
    return count;
}

TEST(ToolState, ChoosingTheSameToolTwiceLeavesNone) {
    ToolState tools;
    EXPECT_EQ(tools.currentTool(), NoTool);
    EXPECT_EQ(CheckedCount(tools), 0);
    for (int round = 0; round < 2; ++round) {
        tools.ToggleTool(KindContactOpen);
        EXPECT_EQ(tools.currentTool(), KindContactOpen);
        EXPECT_EQ(tools.flag(KindContactOpen), 1);
        EXPECT_EQ(CheckedCount(tools), 1);
        tools.ToggleTool(KindContactOpen);
        EXPECT_EQ(tools.currentTool(), NoTool);
        EXPECT_EQ(CheckedCount(tools), 0);
    }
}

TEST(ToolState, AnotherToolTakesOverTheCheckMark) {
    ToolState tools;
    tools.ToggleTool(KindContactOpen);
    tools.ToggleTool(KindCoil);
    EXPECT_EQ(tools.currentTool(), KindCoil);
    EXPECT_FALSE(tools.checked(KindContactOpen));
    EXPECT_TRUE(tools.checked(KindCoil));
    // The earlier tool starts fresh: choosing it again selects it.
    tools.ToggleTool(KindContactOpen);
    EXPECT_EQ(tools.currentTool(), KindContactOpen);
    EXPECT_EQ(CheckedCount(tools), 1);
    // Kinds without a flag are ignored.
    tools.ToggleTool(ShapeEmpty);
    tools.ToggleTool(-1);
    EXPECT_EQ(tools.currentTool(), KindContactOpen);
    EXPECT_EQ(tools.flag(ShapeEmpty), 0);
    EXPECT_EQ(tools.flag(-3), 0);
}

TEST(ToolState, SelectingDoesNotToggle) {
    ToolState tools;
    tools.SelectTool(KindHorizontal);
    tools.SelectTool(KindHorizontal);
    EXPECT_EQ(tools.currentTool(), KindHorizontal);
    EXPECT_TRUE(tools.checked(KindHorizontal));
    // A tool command after a selection of the same tool turns it off.
    tools.ToggleTool(KindHorizontal);
    EXPECT_EQ(tools.currentTool(), NoTool);

    tools.SelectTool(KindBlank);
    tools.Clear();
    EXPECT_EQ(tools.currentTool(), NoTool);
    EXPECT_EQ(CheckedCount(tools), 0);
}

}  // namespace
}  // namespace velmorin
