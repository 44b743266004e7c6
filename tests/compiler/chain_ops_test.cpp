// Limits of the chain operations, on record tables set up by hand (a grid
// cannot make chains this long).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "compiler/block_analysis.h"
#include "compiler/chain_ops.h"
#include "compiler/compile_state.h"

namespace velmorin {
namespace {

class ChainTable : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_unique<CompileState>();
        state->model = nullptr;
    }
    // A chain of `length` records from `first` on, each an `and`.
    int32_t Chain(int32_t first, int32_t length, int32_t element = ElementAnd) {
        for (int32_t n = 0; n < length; ++n) {
            CodeRecord& r = state->records[first + n];
            r = CodeRecord{};
            r.link = n == 0 ? LinkHead : first + n - 1;
            r.next = n + 1 < length ? first + n + 1 : NoNext;
            r.element = element;
            r.column = 1;
            r.row = first + n;
            r.inColumn = r.outColumn = 2;
            r.inRow = r.outRow = 1;
        }
        state->recordCount = std::max(state->recordCount, first + length);
        return first;
    }
    int32_t Length(int32_t head) const {
        int32_t n = 1;
        for (int32_t r = head; state->records[r].next != NoNext && n < 200; r = state->records[r].next) ++n;
        return n;
    }
    std::unique_ptr<CompileState> state;
};

TEST_F(ChainTable, LinkedChainsMayTotal73RecordsWithAtMost71FollowingTheLinkedHead) {
    const struct {
        int32_t headLength, linkedLength;
        int32_t tail;  // the returned tail, -1 for refused
    } cases[] = {{72, 1, 72}, {73, 1, -1}, {1, 72, 72}, {1, 73, -1}};
    for (const auto& c : cases) {
        state = std::make_unique<CompileState>();
        const int32_t a = Chain(0, c.headLength);
        const int32_t b = Chain(c.headLength, c.linkedLength);
        EXPECT_EQ(LinkChain(*state, a, b), c.tail) << c.headLength << "+" << c.linkedLength;
        if (c.tail < 0) {
            EXPECT_EQ(state->records[b].link, LinkFree);
            EXPECT_EQ(state->diagnostics.errorCount(), 1);
            EXPECT_EQ(state->diagnostics.at(0), (DiagnosticEntry{DiagInvalidCombination, 1, b}));
            continue;
        }
        EXPECT_EQ(Length(a), 73);
        EXPECT_EQ(state->records[b].link, c.headLength - 1);
        // Every record taken over loses its nodes.
        EXPECT_EQ(state->records[72].inColumn, -1);
        EXPECT_EQ(state->records[72].outRow, -1);
    }
}

TEST_F(ChainTable, BranchOutRefusesAFourthNestedControlSetButPlainLinksDoNotCount) {
    const struct {
        int32_t controlSets;
        LinkMode mode;
        int32_t tail;
    } cases[] = {{3, LinkMode::BranchOut, 5}, {4, LinkMode::BranchOut, -1}, {4, LinkMode::Plain, 6}};
    for (const auto& c : cases) {
        state = std::make_unique<CompileState>();
        const int32_t a = Chain(0, 1);
        const int32_t b = Chain(1, c.controlSets + 2);
        for (int32_t r = 2; r < 2 + c.controlSets; ++r) state->records[r].element = ElementCs;
        EXPECT_EQ(LinkChain(*state, a, b, c.mode), c.tail) << c.controlSets;
        if (c.tail < 0) {
            EXPECT_EQ(state->diagnostics.at(0), (DiagnosticEntry{DiagTooManyBranches, 1, 1}));
            EXPECT_EQ(state->records[b].link, LinkFree);
        }
    }
}

TEST_F(ChainTable, AppendedRecordCopiesPlaceAndNodesAndPointsBackAtItsOwner) {
    const int32_t a = Chain(0, 3);
    state->records[a].inColumn = 0;
    state->records[a].outColumn = 5;
    const int32_t added = AppendInstruction(*state, a, ElementOrp);
    ASSERT_EQ(added, 3);
    const CodeRecord& r = state->records[added];
    EXPECT_EQ(r.element, ElementOrp);
    EXPECT_EQ(r.link, a);
    EXPECT_EQ(r.next, NoNext);
    EXPECT_EQ(r.shape, ShapeSynthetic);
    EXPECT_EQ(r.row, state->records[a].row);
    EXPECT_EQ(r.inColumn, 0);
    EXPECT_EQ(r.outColumn, 5);
    EXPECT_EQ(state->records[2].next, added);
    EXPECT_EQ(state->recordCount, 4);
}

TEST_F(ChainTable, AppendingToAnOverlongChainDiscardsItsHead) {
    const int32_t a = Chain(0, 73);
    EXPECT_EQ(AppendInstruction(*state, a, ElementAndp), -1);
    EXPECT_EQ(state->records[a].link, LinkOverflow);
    EXPECT_EQ(state->recordCount, 73);
}

TEST_F(ChainTable, FullRecordTableRefusesASyntheticRecord) {
    for (int32_t first = 0; first < RecordSlots; first += 10) Chain(first, 10);
    EXPECT_EQ(AppendInstruction(*state, 50, ElementCs), -1);
    EXPECT_EQ(state->recordCount, RecordSlots);
    EXPECT_EQ(state->diagnostics.at(0).key, DiagInvalidCombination);
    EXPECT_EQ(state->records[59].next, NoNext);
}

TEST_F(ChainTable, CyclicChainIsTreatedAsTooLongInsteadOfWalkedForever) {
    const int32_t a = Chain(0, 3);
    state->records[2].next = 0;
    const int32_t b = Chain(3, 1);
    EXPECT_EQ(LinkChain(*state, a, b), -1);
    EXPECT_EQ(AppendInstruction(*state, a, ElementAndp), -1);
}

TEST_F(ChainTable, NodeTableStopsAddingAtFiftyNodes) {
    // 30 records with unconnected ends: 60 nodes wanted.
    for (int32_t i = 0; i < 30; ++i) {
        CodeRecord& r = state->records[i];
        r = CodeRecord{};
        r.link = LinkHead;
        r.column = i % 9;
        r.row = 1 + i / 9;
    }
    state->recordCount = state->collectedCount = 30;
    BuildNodeTable(*state);
    EXPECT_EQ(state->nodeCount, NodeSlots);
    EXPECT_EQ(state->diagnostics.errorCount(), 5);  // records 25..29, one entry each
    EXPECT_EQ(state->diagnostics.at(0), (DiagnosticEntry{DiagInvalidCombination, 25 % 9, 1 + 25 / 9}));
}

}  // namespace
}  // namespace velmorin
