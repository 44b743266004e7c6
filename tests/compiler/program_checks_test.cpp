// Whole-program checks and the code-size limit, through real diagrams.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "compile_helpers.h"

namespace velmorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(LastInstruction, CoilWhoseOperandByteEqualsRjpStillWarns) {
    // v05 is variable 18, the id of rjp (the golden cases hold end's twin).
    Diagram d;
    d.Row(1, "ld:e1 ─ ─ ─ ─ ─ ─ out:v05");
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagLastInstruction, 8, 1}));
    EXPECT_TRUE(c.output.finalImage);
}

TEST(LastInstruction, PointsAtTheLastRecordOfTheLastBlockThatHadAny) {
    Diagram d;
    d.Block(0, {"end"});
    d.Block(5, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", "ld:e2 ┘"});
    Compiled c = CompileInMemory(d.model());
    // Block 5 ends as ld e2, or e1, out s1: three records, the last slot is the coil.
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagLastInstruction, 8, 21}));
}

TEST(Jumps, JumpAddressesAndTheLabelLineOfTheTargetBlock) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"});
    d.Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ jp1:@0"});
    d.Block(2, {"end"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Diagnostics(), IsEmpty());
    // Label 2 starts at offset 8, label 0 at 0; jp1 is opcode 0x11.
    EXPECT_THAT(c.Code(), ElementsAre(6, 0, 0x11, 8, 6, 1, 0x11, 0, 15));
    // Block 2 was referenced before it was listed; block 0 only afterwards.
    const std::string& listing = c.output.listing;
    const std::string expected = "\n     ld e1 \n     jp1 ETQ03 \n\n     ld e2 \n     jp1 ETQ01 \n\nETQ03: \n     end \n\n\n";
    EXPECT_EQ(listing.substr(0, expected.size()), expected);
}

TEST(Jumps, JumpBeyondTheLastReturnIsReportedAtTheFirstJumpThatFarOut) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"});
    d.Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ if1:@2", "end"});
    d.Block(2, {"ld:e3 ─ ─ ─ ─ ─ ─ out:s1"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagLastInstruction, 8, 9},
                                             DiagnosticEntry{DiagCallWithoutReturn, 8, 1}));
}

TEST(Jumps, UnsetLabelSetsNoMarkKeepsItsByteAndHasNoReturnTarget) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ goto"}).Block(1, {"end"});
    // goto's label slot still holds the reset's 0xFF.
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Code(), ElementsAre(6, 0, 26, 0xFF, 15));
    EXPECT_THAT(c.Instructions(), ElementsAre("ld e1", "goto", "end"));
    for (const LabelPlacement& label : c.output.labels) EXPECT_EQ(label.referenced, 0);

    Diagram conditional;
    conditional.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1"}).Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(conditional.model()).Keys(), ElementsAre(DiagCallWithoutReturn));
}

TEST(CallNesting, FiveCallsDeepIsQuiet) {
    Diagram d;
    for (int block = 0; block < 5; ++block) d.Row(BlockFirstRow(block), "gosub:@" + std::to_string(block + 1));
    d.Block(5, {"rjp"}).Block(6, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Diagnostics(), IsEmpty());
}

// Fifteen rows of seven contacts and a coil (240 bytes), then rows 61..63.
struct CodeSizeCase {
    const char* what;
    const char* row62;
    const char* row63;
    bool endBlock;
    int codeLength;
    std::vector<DiagnosticEntry> diagnostics;
    bool finalImage;
};

TEST(CodeSize, TheLastInstructionMayEndAtOffset255AndNothingStartsAfter254) {
    const CodeSizeCase cases[] = {
        {"all 256 bytes", "ld:e2 ─ ─ ─ ─ ─ ─ tp:tp2:1", "ld:e3 ─ ─ ─ ─ ─ ─ out:s2", false, 256,
         {{DiagLastInstruction, 8, 63}}, true},
        {"a chain ending at 255", "ld:e2 ld:e3 ld:e4 ─ ─ ─ ─ tp:tp2:1", nullptr, false, 256,
         {{DiagLastInstruction, 8, 62}}, true},
        {"end at 254", "ld:e2 ─ ─ ─ ─ ─ ─ tp:tp2:1", "ld:e3", true, 255, {}, true},
        // A one-byte end would still fit the buffer; the last block that
        // emitted is block 15, ending in nota.
        {"end at 255", "ld:e2 ─ ─ ─ ─ ─ ─ tp:tp2:1", "ld:e3 nota", true, 255,
         {{DiagOutOfMemory, 1, 65}, {DiagLastInstruction, 2, 63}}, false},
    };
    for (const CodeSizeCase& k : cases) {
        Diagram d;
        for (int row = 1; row <= 15; ++row) d.Row(row, "ld:e1 ld:e2 ld:e3 ld:e4 ld:e5 ld:e6 ld:e7 out:s1");
        d.Row(61, "ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:1").Row(62, k.row62);
        if (k.row63) d.Row(63, k.row63);
        if (k.endBlock) d.Block(16, {"end"});
        Compiled c = CompileInMemory(d.model());
        EXPECT_EQ(c.output.image.codeLength, k.codeLength) << k.what;
        EXPECT_EQ(c.Diagnostics(), k.diagnostics) << k.what;
        EXPECT_EQ(c.output.finalImage, k.finalImage) << k.what;
        EXPECT_EQ(c.output.limitReached, !k.finalImage) << k.what;
    }
}

}  // namespace
}  // namespace velmorin::testing
