// Find: which cells a word names, and the cursor stepping through them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/test_diagram.h"
#include "editor/editor_messages.h"
#include "editor/find.h"
#include "editor_fixture.h"

namespace velmorin {
namespace {

using testing::Diagram;

Diagram Program() {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1", "ldn:s1 ─ ─ ─ ─ ─ ─ jp1:@2"});
    d.Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ ctv:cnt1", ". . . . . . . ▽"});
    d.Block(2, {"ifv1:cnt1:@4 . . . . . . .", "ld:e3 ─ ─ ─ ─ ─ ─ out:s1"});
    d.Alias("s1", "Bomba")
        .Alias("e3",
               "se\xF1"
               "al");  // aliases are Windows-1252 in the model
    SetFieldText(d.model().labels[2].alias, "Llenado");
    return d;
}

std::vector<std::string> Cells(const std::vector<CellPos>& matches) {
    std::vector<std::string> out;
    for (const CellPos& m : matches) out.push_back(std::to_string(m.row) + "," + std::to_string(m.column));
    return out;
}

TEST(FindMatches, NamesAliasesLabelsAndMnemonicsIgnoringCaseInGridOrder) {
    const Diagram d = Program();
    const struct {
        const char* word;
        std::vector<std::string> cells;
    } cases[] = {
        {"S1", {"1,8", "2,1", "10,8"}},
        {"bomba", {"1,8", "2,1", "10,8"}},  // the alias, in other case
        {"  OUT ", {"1,8", "10,8"}},        // a mnemonic, spaces around
        {"cnt1", {"5,8", "9,1"}},           // the counter box once, not its lower half
        {"etq03", {"2,8", "9,0"}},          // a jump to the label, and the label itself
        {"LLENADO", {"2,8", "9,0"}},        // the label's user name
        {"etq05", {"9,1", "17,0"}},
        {"SEÑAL", {"10,1"}},  // beyond ASCII
        {"s", {}},            // whole names only
        {"e9", {}},
        {"", {}},
        {"\xE2\x86\x92", {}},  // a character the names cannot hold
    };
    for (const auto& c : cases) EXPECT_EQ(Cells(FindMatches(d.model(), c.word)), c.cells) << c.word;
}

class FindSession : public testing::EditorFixture {};

TEST_F(FindSession, StepsThroughTheMatchesAndSaysWhenItWentRound) {
    model() = Program().model();
    editor_.InitialUpdate();
    auto cursor = [&] {
        return std::to_string(editor_.hoverCell().row) + "," + std::to_string(editor_.hoverCell().column);
    };

    // A new word starts at the cursor cell itself (1,1 after a reset).
    ViewEffects fx = editor_.Find("e1", true);
    EXPECT_EQ(cursor(), "1,1");
    EXPECT_TRUE(fx.message.empty());
    ASSERT_TRUE(fx.ensureVisible);

    fx = editor_.Find("s1", true);
    EXPECT_EQ(cursor(), "1,8");
    EXPECT_EQ(editor_.Find("s1", true).statusNote, "");
    EXPECT_EQ(cursor(), "2,1");
    editor_.Find("s1", true);
    EXPECT_EQ(cursor(), "10,8");
    fx = editor_.Find("s1", true);
    EXPECT_EQ(cursor(), "1,8");
    EXPECT_EQ(fx.statusNote, msg::FindWrappedToStart);
    fx = editor_.Find("s1", false);
    EXPECT_EQ(cursor(), "10,8");
    EXPECT_EQ(fx.statusNote, msg::FindWrappedToEnd);

    // A label's match puts the cursor beside the rail; the next step goes on
    // from the label, not from the cell the cursor stands on.
    editor_.MouseMove(testing::EditorFixture::Point(8, 1), false);
    editor_.Find("etq05", true);
    EXPECT_EQ(cursor(), "9,1");  // the ifv1 jumping to it
    editor_.Find("etq03", true);
    EXPECT_EQ(cursor(), "9,1");  // the label of block 2, at its first row
    editor_.Find("etq03", true);
    EXPECT_EQ(cursor(), "2,8");  // round to the jump
    EXPECT_EQ(editor_.history().stepCount(), 0u);

    fx = editor_.Find("nada", true);
    EXPECT_EQ(fx.message, msg::NothingFound);
    EXPECT_EQ(cursor(), "2,8");
}

}  // namespace
}  // namespace velmorin
