// Whole-program checks and the code-size limit, through real diagrams.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "compile_helpers.h"

namespace velmorin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(LastInstruction, CoilWhoseOperandByteEqualsEndOrRjpStillWarns) {
    // v02 is variable 15 (the id of end), v05 is 18 (rjp).
    for (const char* operand : {"v02", "v05"}) {
        Diagram d;
        d.Row(1, std::string("ld:e1 ─ ─ ─ ─ ─ ─ out:") + operand);
        Compiled c = CompileInMemory(d.model());
        EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagLastInstruction, 8, 1})) << operand;
        EXPECT_TRUE(c.compiler->hasFinalImage()) << operand;
    }
}

TEST(LastInstruction, PointsAtTheLastRecordOfTheLastBlockThatHadAny) {
    Diagram d;
    d.Block(0, {"end"});
    d.Block(5, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", "ld:e2 ┘"});
    Compiled c = CompileInMemory(d.model());
    // Block 5 ends as ld e2, or e1, out s1: three records, the last slot is the coil.
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagLastInstruction, 8, 21}));
}

TEST(LastInstruction, EndOrRjpLastIsQuiet) {
    Diagram withEnd;
    withEnd.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}).Block(3, {"end"});
    EXPECT_THAT(CompileInMemory(withEnd.model()).Diagnostics(), IsEmpty());
    Diagram withRjp;
    withRjp.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}).Block(3, {"rjp"});
    EXPECT_THAT(CompileInMemory(withRjp.model()).Diagnostics(), IsEmpty());
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
    const std::string& listing = c.compiler->listingText();
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

TEST(Jumps, UnsetLabelSetsNoMarkAndKeepsItsByte) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ goto"});
    d.Block(1, {"end"});
    // goto's label slot still holds the reset's 0xFF.
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Code(), ElementsAre(6, 0, 26, 0xFF, 15));
    EXPECT_THAT(c.Instructions(), ElementsAre("ld e1", "goto", "end"));
    for (const LabelEntry& label : d.model().labels) EXPECT_EQ(label.referenced, 0);
}

TEST(Jumps, ConditionalJumpToAnUnsetLabelHasNoReturnTarget) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1"});
    d.Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Keys(), ElementsAre(DiagCallWithoutReturn));
}

TEST(CallNesting, BlockJumpingToItsOwnLabelWarnsAndEnds) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@0"});
    d.Block(1, {"end"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagNestingOverflow, 8, 1}));
    EXPECT_THAT(c.Code(), ElementsAre(6, 0, 0x11, 0, 15));
    const std::string expected = "\nETQ01: \n     ld e1 \n     jp1 ETQ01 \n\n     end \n";
    EXPECT_EQ(c.compiler->listingText().substr(0, expected.size()), expected);
}

TEST(CallNesting, FiveCallsDeepIsQuiet) {
    Diagram d;
    for (int block = 0; block < 5; ++block) d.Row(BlockFirstRow(block), "gosub:@" + std::to_string(block + 1));
    d.Block(5, {"rjp"}).Block(6, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Diagnostics(), IsEmpty());
}

// Each row: seven contacts in series and a coil, 16 bytes.
Diagram Rows(int rows) {
    Diagram d;
    for (int row = 1; row <= rows; ++row) d.Row(row, "ld:e1 ld:e2 ld:e3 ld:e4 ld:e5 ld:e6 ld:e7 out:s1");
    return d;
}

TEST(CodeSize, ProgramFillingAll256BytesCompiles) {
    // 240 + 6 + 6 bytes, then a last rung of 4 that ends at offset 255.
    Diagram d = Rows(15);
    d.Row(61, "ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:1").Row(62, "ld:e2 ─ ─ ─ ─ ─ ─ tp:tp2:1");
    d.Row(63, "ld:e3 ─ ─ ─ ─ ─ ─ out:s2");
    Compiled c = CompileInMemory(d.model());
    EXPECT_EQ(c.compiler->codeLength(), 256);
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagLastInstruction, 8, 63}));
    EXPECT_TRUE(c.compiler->hasFinalImage());
}

TEST(CodeSize, EndStartingAtOffset254Fits) {
    Diagram d = Rows(15);
    d.Row(61, "ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:1").Row(62, "ld:e2 ─ ─ ─ ─ ─ ─ tp:tp2:1");
    d.Row(63, "ld:e3").Block(16, {"end"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_EQ(c.compiler->codeLength(), 255);
    EXPECT_THAT(c.Diagnostics(), IsEmpty());
}

TEST(CodeSize, NothingStartsAfterOffset254EvenWhenItWouldFit) {
    // 255 bytes used: a one-byte end would still fit the buffer.
    Diagram d = Rows(15);
    d.Row(61, "ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:1").Row(62, "ld:e2 ─ ─ ─ ─ ─ ─ tp:tp2:1");
    d.Row(63, "ld:e3 nota").Block(16, {"end"});
    Compiled c = CompileInMemory(d.model());
    // The last block that emitted is block 15, ending in nota.
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagOutOfMemory, 1, 65},
                                             DiagnosticEntry{DiagLastInstruction, 2, 63}));
    EXPECT_EQ(c.compiler->codeLength(), 255);
    EXPECT_FALSE(c.compiler->hasFinalImage());
    EXPECT_TRUE(c.compiler->cancelFlag().load());
}

TEST(CodeSize, InstructionCrossingTheEndIsOverflowAtItsChainHead) {
    Diagram fits = Rows(15);
    fits.Row(61, "ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:1").Row(62, "ld:e2 ld:e3 ld:e4 ─ ─ ─ ─ tp:tp2:1");
    EXPECT_EQ(CompileInMemory(fits.model()).compiler->codeLength(), 256);

    // One byte more before the timer: it would end at offset 256.
    Diagram over = Rows(15);
    over.Row(61, "ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:1").Row(62, "ld:e2 ld:e3 ld:e4 nota ─ ─ ─ tp:tp2:1");
    Compiled c = CompileInMemory(over.model());
    // Block 15 never finished, so the last-instruction check reads slot 23
    // of the record table as it stands: block 3's coil of row 15, which block
    // 15's seven records did not overwrite.
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagOutOfMemory, 1, 62},
                                             DiagnosticEntry{DiagLastInstruction, 8, 15}));
    EXPECT_EQ(c.compiler->codeLength(), 253);
}

}  // namespace
}  // namespace velmorin::test
