// A whole program drawn from an empty diagram through the session's events
// and the parameter dialog's rules: the start/stop latch of the examples.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "editor_fixture.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using Flow = testing::EditorFixture;

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(Flow, DrawingTheLatchGivesTheExampleFile) {
    const std::vector<uint8_t> expected = ReadFile(VELMORIN_SOURCE_DIR "/examples/latch.ldr");
    ASSERT_FALSE(expected.empty());
    auto operand = [](int row, const char* alias) {
        return [=](ParameterSession& d) {
            d.ChooseRow(row);
            if (alias) d.SetText(0, alias);
        };
    };
    auto wire = [&](int row, int column) {
        editor_.MouseMove(Point(row, column), false);
        ClickWith(KindHorizontal, row, column, -1);
        ClickWith(KindHorizontal, row, column, 1);
    };

    // Rung 1: start button, a branch point, stop button, wire, motor.
    Fill(KindContactOpen, 1, 1, operand(0, "marcha"));
    wire(1, 2);
    ClickWith(KindVertical, 1, 2, 1, 1);  // the branch goes down
    Fill(KindContactClosed, 1, 3, operand(1, "paro"));
    for (int column = 4; column <= 7; ++column) wire(1, column);
    Fill(KindCoil, 1, 8, operand(8, "motor"));
    // Rung 2: the motor's own contact holds it, joining the branch from below.
    Fill(KindContactOpen, 2, 1, operand(8, nullptr));
    ClickWith(KindHorizontal, 2, 2, -1);
    ClickWith(KindVertical, 2, 2, 1, -1);
    // The next block ends the program.
    Fill(KindBoxOneSided, 5, 1, [](ParameterSession& d) { EXPECT_EQ(d.selectedElement(), ElementEnd); });

    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(EncodeSourceFile(model()), expected);
    EXPECT_EQ(editor_.history().modified(), true);
}

}  // namespace
}  // namespace velmorin
