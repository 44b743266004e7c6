// Whole-block translations through the real pipeline, checked against code
// worked out by hand. The golden cases hold the basic rungs, joins,
// branch-outs, two-row splices and each diagnostic byte for byte; these are
// the shapes around them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "compile_helpers.h"

namespace velmorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ParallelJoins, NormallyClosedSingleBranchBecomesOrn) {
    Diagram d;
    d.Block(0, {"ldn:e1 ┬ ─ ─ ─ ─ ─ out:s1", "ld:e2 ┘"}).Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Instructions(), ElementsAre("ld e2", "orn e1", "out s1", "end"));
}

TEST(ParallelJoins, ImmediateLoadBesideAChainIsOredWithOrp) {
    Diagram d;
    d.Block(0, {"ld:e1 ld:e2 ┬ ─ ─ ─ ─ out:s1", "ldi:7 ─ ┘"}).Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Instructions(),
                ElementsAre("ld e1", "and e2", "ldi 7", "orp", "out s1", "end"));
}

TEST(ParallelJoins, PairAfterAContactCountsAsOneBranchAndJoinsInSeries) {
    // Once e2 and e3 are one branch, the node before them has two ends left.
    Diagram d;
    d.Block(0, {"ld:e1 ┬ ld:e2 ┬ ─ ─ ─ out:s1", ". └ ld:e3 ┘"}).Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Instructions(),
                ElementsAre("ld e1", "ld e3", "or e2", "andp", "out s1", "end"));
}

TEST(ParallelJoins, CoilsWiredTogetherStillLinkBothCoilsIntoTheCode) {
    Diagram d;
    d.Block(0, {"ld:e1 ┬ out:s1 ┬", ". └ out:s2 ┘"}).Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Code(), ElementsAre(6, 0, 11, 9, 11, 8, 15));
}

TEST(ShortCircuits, BypassRunningThroughTheLastRowOfTheBlockIsSeen) {
    // The bypass goes down into row 4 and back up: it shorts the contact.
    Diagram d;
    d.Block(0, {"─ ld:e1 ┐", "│ . │", "│ . │", "└ ─ ┘"}).Block(1, {"end"});
    // The left wire joins the rail's first-row net only through its corner.
    d.model().grid.at(1, 1).shape = KindTeeLeftRightDown;
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagShortCircuit, 2, 1}));
}

TEST(ShortCircuits, WiresNeverReachIntoTheNextBlock) {
    // The tee on block 0's last row points down at e2; followed into block 1
    // it would give e2 block 0's rail as input and cut it from e1.
    Diagram down;
    down.Row(4, "─ ┬");
    down.Block(1, {"ld:e1 ld:e2 ─ ─ ─ ─ ─ out:s1"}).Block(2, {"end"});
    EXPECT_THAT(CompileInMemory(down.model()).Instructions(), ElementsAre("ld e1", "and e2", "out s1", "end"));

    // Block 1's rail tee points up at e2: followed into block 0 it would end
    // e2 on another node than its parallel partner e1.
    Diagram up;
    up.Row(3, "ld:e1 ┬ ─ ─ ─ ─ ─ out:s1").Row(4, "ld:e2 ┘").Row(5, "┴").Block(2, {"end"});
    EXPECT_THAT(CompileInMemory(up.model()).Instructions(), ElementsAre("ld e2", "or e1", "out s1", "end"));
}

TEST(Orientation, TwoContactsWiredIntoARingAreTurnedIntoAParallelPair) {
    // e1 runs from the left net to the middle one, e2 from the middle back
    // round the second row to the left net: e1 is turned to match e2.
    Diagram d;
    d.Block(0, {"┌ ld:e1 ─ ld:e2 ┐", "└ ─ ─ ─ ┘"}).Block(1, {"end"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Instructions(), ElementsAre("ld e2", "or e1", "end"));
    EXPECT_THAT(c.Diagnostics(), ElementsAre(DiagnosticEntry{DiagReverseFlow, 2, 1},
                                             DiagnosticEntry{DiagReverseFlow, 4, 1}));
}

TEST(Wires, LoopOfWiresAwayFromTheNetsFirstCellIsFollowedOnce) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ┬ ┬ ─ ─ ─ out:s1", ". . └ ┘"}).Block(1, {"end"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Instructions(), ElementsAre("ld e1", "out s1", "end"));
    EXPECT_THAT(c.Diagnostics(), IsEmpty());
}

TEST(TwoRowElements, MissingLowerHalfRaisesErrorNine) {
    Diagram d;
    d.Block(0, {"ld:e1 ctv:cnt1"}).Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Diagnostics(), ElementsAre(DiagnosticEntry{DiagTimerUnresolved, 2, 1}));
}

TEST(TwoRowElements, CounterInABranchMovedBehindACoilKeepsItsChain) {
    Diagram d;
    d.Block(0, {"ld:e1 ┬ ld:e2 ─ ─ ─ ─ ctv:cnt1", ". │ ld:e3 ─ ─ ─ ─ ▽", ". └ ─ ─ ─ ─ ─ out:s1"});
    d.Block(1, {"end"});
    EXPECT_THAT(CompileInMemory(d.model()).Instructions(),
                ElementsAre("ld e1", "cs", "out s1", "ld e2", "ld e3", "ctv Cnt1", "cr", "end"));
}

TEST(Operands, TimesAreExactTenthsAndHundredthsAndListedWithTheirPoint) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:25.5"});
    d.Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ tpf:tpf1:0.07"});
    d.Block(2, {"ld:e3 ─ ─ ─ ─ ─ ─ tp:tp3:100"});
    d.Block(3, {"ldi:200 ─ ─ ─ ─ ─ ─ osc:0.5:25"});
    d.Block(4, {"end"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Code(), ElementsAre(6, 0, 25, 0, 0xFF, 0x00,   // tp Tp1 25.5: 255 tenths
                                      6, 1, 25, 4, 7, 0,         // tpf Tpf1 0.07: 7 hundredths
                                      6, 2, 25, 2, 0xE8, 0x03,   // tp Tp3 100: 1000 tenths
                                      20, 200, 21, 5, 250,       // ldi 200, osc 0.5 25
                                      15));
    EXPECT_THAT(c.Instructions(), ElementsAre("ld e1", "tp Tp1 25.5", "ld e2", "tpf Tpf1 0.07", "ld e3",
                                              "tp Tp3 100.0", "ldi 200", "osc  0.525.0", "end"));
}

TEST(Operands, VariableOperandIsTheIndexLessTheBase) {
    Diagram d;
    d.Block(0, {"ld:tpvf2 ─ ─ ─ ─ ─ ─ tpvf:tpvf1", "ld:cnt4 ─ ─ ─ ─ ─ ─ tpv:tpv3"});
    d.Block(1, {"end"});
    d.Alias("tpvf1", "rapido");
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Code(), ElementsAre(6, 85, 19, 4, 6, 79, 19, 2, 15));
    EXPECT_THAT(c.Instructions(), ElementsAre("ld Tpvf2", "tpvf rapido", "ld Cnt4", "tpv Tpv3", "end"));
}

}  // namespace
}  // namespace velmorin::testing
