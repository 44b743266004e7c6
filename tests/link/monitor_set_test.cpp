// The variable monitor's rules without its window: the lists and what an
// item stands for, what a map shows, the poll lists and what is sent.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/monitor_set.h"

namespace velmorin {
namespace {

class MonitorSetTest : public ::testing::Test {
protected:
    void SetUp() override { ResetModel(*model); }
    MonitorNameTable& names() { return model->monitorNames; }

    std::unique_ptr<ProgramModel> model = std::make_unique<ProgramModel>();
};

MonitorRow Row(int32_t reference, bool word = false, bool send = false) {
    return {reference, static_cast<uint8_t>(word), static_cast<uint8_t>(send)};
}

TEST_F(MonitorSetTest, ListItemsNameEveryByteAndEachCountStateOnce) {
    const std::vector<std::string> items = VariableListItems(names());
    ASSERT_EQ(items.size(), 109u);
    EXPECT_EQ(VariableItemCount(names()), 109);
    const std::pair<int, const char*> expected[] = {
        {0, "-----------"}, {1, "E1"},     {15, "V01"},   {80, "CNT4"},
        {92, "TPF2"},       {93, "CNTE1"}, {94, "CNTE2"}, {108, "TPE12"},
    };
    for (const auto& [item, text] : expected) EXPECT_EQ(items[static_cast<size_t>(item)], text) << item;

    // A table that ends early ends the lists there.
    names()[50][0] = static_cast<char>(0xFF);
    EXPECT_EQ(VariableItemCount(names()), 51);
}

TEST_F(MonitorSetTest, ItemsAndReferencesMapBothWays) {
    struct Case {
        int item;
        int32_t reference;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {92, 92}, {93, 93}, {94, 95}, {108, 123}};
    for (const Case& c : cases) {
        EXPECT_EQ(ReferenceForItem(c.item), c.reference) << c.item;
        EXPECT_EQ(ItemForReference(c.reference), c.item) << c.reference;
        EXPECT_TRUE(ListShowsReference(c.reference, names())) << c.reference;
    }
    // The second byte of a count state shows as its first, which gives another reference back.
    EXPECT_EQ(ItemForReference(94), 93);
    for (const int32_t reference : {-1, 94, 124, 125, 256, 1000}) EXPECT_FALSE(ListShowsReference(reference, names()));
}

TEST_F(MonitorSetTest, ChoosingAnItemStoresItsReferenceAndDescribesTheVariable) {
    struct Case {
        int item;
        int32_t reference;
        const char* description;  // nullptr: the line stays as it was
    };
    const Case cases[] = {
        {92, 92, "TPF2: Salida de temporiz.fijo rápido"},
        {93, 93, "CNTE1: Estado de cuenta del contador"},
        {15, 15, "V01: Variable"},
        {0, 0, nullptr},
    };
    for (const Case& c : cases) {
        MonitorRow row = Row(40);
        const std::optional<std::string> description = SelectVariable(row, c.item, names());
        EXPECT_EQ(row.reference, c.reference) << c.item;
        EXPECT_EQ(description.has_value(), c.description != nullptr) << c.item;
        if (description && c.description) {
            EXPECT_EQ(*description, c.description);
        }
    }
    // An item the lists do not hold changes nothing.
    MonitorRow row = Row(40);
    EXPECT_FALSE(SelectVariable(row, 109, names()));
    EXPECT_EQ(row.reference, 40);
    // A name lent by a program shows in the description, in UTF-8.
    SetFieldText(names()[14], "bomba\xF1");
    MonitorRow pump;
    EXPECT_EQ(SelectVariable(pump, 15, names()), "bombañ: Variable");
}

TEST_F(MonitorSetTest, RowsShowBytesWordsAndBit0) {
    MonitorImage image;
    image.SetByte(92, 0x34);
    image.SetByte(93, 0x12);
    image.SetByte(20, 0xFF);
    MonitorMap map{};
    map[0] = Row(93, true, true);  // word on address 92
    map[1] = Row(93);              // the same address as a byte
    map[2] = Row(21);              // address 20
    const std::array<RowView, MonitorRowsPerMap> shown = ShowMap(map, image);
    EXPECT_EQ(shown[0].value.text, "4660");
    EXPECT_EQ(shown[0].value.bit0, false);
    EXPECT_TRUE(shown[0].word);
    EXPECT_TRUE(shown[0].send);
    EXPECT_EQ(shown[0].item, 93);
    EXPECT_EQ(shown[1].value.text, "52");
    EXPECT_FALSE(shown[1].word);
    EXPECT_EQ(shown[2].value.text, "255");
    EXPECT_EQ(shown[2].value.bit0, true);
    EXPECT_EQ(shown[3].value.text, "----");
    EXPECT_EQ(shown[3].value.bit0, std::nullopt);  // cleared on opening, left alone by a refresh
    EXPECT_EQ(shown[3].item, 0);

    image.SetByte(20, 0x02);
    const std::array<RowValue, MonitorRowsPerMap> refreshed = RefreshMapValues(map, image);
    EXPECT_EQ(refreshed[2].text, "2");
    EXPECT_EQ(refreshed[2].bit0, false);
    EXPECT_EQ(refreshed[3].bit0, std::nullopt);
}

TEST_F(MonitorSetTest, PollListTakesAWordsSecondByteOnlyUntilTheFirstRebuild) {
    MonitorMap map{};
    map[3] = Row(95, true);  // word on address 94
    EXPECT_EQ(BuildPollList(map), (PollList{{3, 94}, {0, 95}}));
    EXPECT_EQ(RebuildPollList(map), (PollList{{3, 94}}));
    map[5] = Row(1);
    const VariablePollPlan plan = PlanVariablePoll(map);
    ASSERT_TRUE(plan.result.ok);
    EXPECT_EQ(plan.plan.policy, ListPolicy::RenewAtCycleEnd);
    EXPECT_EQ(plan.plan.firstCycle, (PollAddresses{94, 95, 0}));
    EXPECT_EQ(plan.renewed, (PollAddresses{94, 0}));

    const VariablePollPlan none = PlanVariablePoll(MonitorMap{});
    EXPECT_FALSE(none.result.ok);
    EXPECT_EQ(none.result.message, "No hay variables para recibir");
}

TEST_F(MonitorSetTest, SendingReadsTheWholeFieldAndRefusesAValueTooLargeBeforeSendingAnything) {
    struct Case {
        bool word;
        const char* field;
        std::optional<uint16_t> value;  // nothing: refused
    };
    const Case cases[] = {
        {true, "12345", 12345},  // all five digits, not the first four
        {true, "65535", 65535},
        {true, "65536", std::nullopt},
        {true, "99999999", std::nullopt},
        {false, "255", 255},
        {false, "300", std::nullopt},  // not 300 masked to 44
        {false, "", 0},
        {false, "0007", 7},
        {false, "1a", std::nullopt},
        {false, "-1", std::nullopt},
    };
    for (const Case& c : cases) {
        MonitorMap map{};
        map[4] = Row(93, c.word, true);
        std::array<std::string, MonitorRowsPerMap> fields;
        fields[4] = c.field;
        const SendPlan plan = PlanSendValues(map, fields);
        SCOPED_TRACE(c.field);
        if (c.value) {
            ASSERT_TRUE(plan.result.ok);
            EXPECT_EQ(plan.rows, (std::vector<SendRow>{{92, c.word, *c.value}}));
        } else {
            EXPECT_EQ(plan.result.message, "Edición de datos inválido");
            EXPECT_TRUE(plan.rows.empty());
        }
    }
}

TEST_F(MonitorSetTest, OnlyRowsMarkedForSendingWithAVariableAreSentAndOneBadRowStopsAll) {
    MonitorMap map{};
    map[0] = Row(15, false, true);
    map[1] = Row(16, false, false);  // not marked: its text does not matter
    map[2] = Row(0, false, true);    // no variable
    map[6] = Row(95, true, true);
    std::array<std::string, MonitorRowsPerMap> fields{"7", "junk", "junk", "", "", "", "1234", ""};
    SendPlan plan = PlanSendValues(map, fields);
    ASSERT_TRUE(plan.result.ok);
    EXPECT_EQ(plan.rows, (std::vector<SendRow>{{14, false, 7}, {94, true, 1234}}));

    fields[0] = "256";
    plan = PlanSendValues(map, fields);
    EXPECT_FALSE(plan.result.ok);
    EXPECT_TRUE(plan.rows.empty());
}

TEST(MonitorState, ANewDocumentClearsSetImageAndProgram) {
    MonitorState state;
    state.set[2][7] = Row(5, true, true);
    state.image.SetByte(255, 9);
    state.programPath = "/tmp/x.ldr";
    state.Clear();
    EXPECT_EQ(state.set, MonitorSet{});
    EXPECT_EQ(state.image.Snapshot(), ControllerImage::Bytes{});
    EXPECT_TRUE(state.programPath.empty());
}

}  // namespace
}  // namespace velmorin
