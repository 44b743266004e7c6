// The variable monitor's rules without its window: what an item stands
// for, what a map shows, the poll lists and what is sent.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/monitor_set.h"

namespace velmorin {
namespace {

MonitorRow Row(int32_t reference, bool word = false, bool send = false) {
    return {reference, static_cast<uint8_t>(word), static_cast<uint8_t>(send)};
}

TEST(MonitorSet, ItemsNameEachByteAndCountStateAndStoreTheirReferences) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    MonitorNameTable& names = model->monitorNames;
    const std::vector<std::string> items = VariableListItems(names);
    ASSERT_EQ(items.size(), 109u);
    struct Case {
        int item;
        const char* text;
        int32_t reference;
        const char* description;  // nullptr: the line stays as it was
    };
    const Case cases[] = {
        {0, "-----------", 0, nullptr},
        {15, "V01", 15, "V01: Variable"},
        {92, "TPF2", 92, "TPF2: Salida de temporiz.fijo rápido"},
        {93, "CNTE1", 93, "CNTE1: Estado de cuenta del contador"},
        {94, "CNTE2", 95, "CNTE2: Estado de cuenta del contador"},
        {108, "TPE12", 123, "TPE12: Estado de cuenta del temporizador"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(items[static_cast<size_t>(c.item)], c.text);
        MonitorRow row = Row(40);
        const std::optional<std::string> description = SelectVariable(row, c.item, names);
        EXPECT_EQ(row.reference, c.reference);
        EXPECT_EQ(ItemForReference(c.reference), c.item);
        EXPECT_TRUE(ListShowsReference(c.reference, names));
        EXPECT_EQ(description.value_or("(unchanged)"), c.description ? c.description : "(unchanged)");
    }
    // What the lists cannot show: a count state's second byte, beyond TPE12, negative.
    for (const int32_t reference : {94, 124, 256, -1}) EXPECT_FALSE(ListShowsReference(reference, names));
    MonitorRow row = Row(40);
    EXPECT_FALSE(SelectVariable(row, 109, names));
    EXPECT_EQ(row.reference, 40);
    // A name lent by a program describes the variable, in UTF-8; a table ending early ends the lists.
    SetFieldText(names[14], "bomba\xF1");
    EXPECT_EQ(SelectVariable(row, 15, names), "bombañ: Variable");
    names[50][0] = static_cast<char>(0xFF);
    EXPECT_EQ(VariableItemCount(names), 51);
}

TEST(MonitorSet, RowsShowBytesWordsAndBit0) {
    MonitorImage image;
    image.SetByte(92, 0x34);
    image.SetByte(93, 0x12);
    image.SetByte(20, 0xFF);
    const MonitorMap map{Row(93, true, true), Row(93), Row(21)};
    const std::array<RowView, MonitorRowsPerMap> shown = ShowMap(map, image);
    EXPECT_EQ(shown[0].value.text, "4660");
    EXPECT_EQ(shown[0].value.bit0, false);
    EXPECT_TRUE(shown[0].word && shown[0].send);
    EXPECT_EQ(shown[0].item, 93);
    EXPECT_EQ(shown[1].value.text, "52");
    EXPECT_EQ(shown[2].value.text, "255");
    EXPECT_EQ(shown[2].value.bit0, true);
    EXPECT_EQ(shown[3].value.text, "----");
    EXPECT_EQ(shown[3].value.bit0, std::nullopt);  // cleared on opening, left as it is by a refresh
    EXPECT_EQ(shown[3].item, 0);
}

TEST(MonitorSet, RecibirPollsAWordsSecondByteUntilTheFirstRebuild) {
    MonitorMap map{};
    map[3] = Row(95, true);  // word on address 94
    EXPECT_EQ(BuildPollList(map), (PollList{{3, 94}, {0, 95}}));
    EXPECT_EQ(RebuildPollList(map), (PollList{{3, 94}}));
    const VariablePollPlan plan = PlanVariablePoll(map);
    EXPECT_EQ(plan.plan.policy, ListPolicy::RenewAtCycleEnd);
    EXPECT_EQ(plan.plan.firstCycle, (PollAddresses{94, 95}));
    EXPECT_EQ(plan.renewed, (PollAddresses{94}));
    EXPECT_EQ(PlanVariablePoll(MonitorMap{}).result.message, "No hay variables para recibir");
}

TEST(MonitorSet, EnviarReadsWholeFieldsAndRefusesAnyValueTooLargeBeforeSending) {
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        // Row 0 is fine; rows 1 and 2 are not sent, so their text does not matter.
        const MonitorMap map{Row(15, false, true), Row(16), Row(0, false, true), Row(93, c.word, true)};
        const std::array<std::string, MonitorRowsPerMap> fields{"7", "junk", "junk", c.field};
        const SendPlan plan = PlanSendValues(map, fields);
        if (c.value) {
            EXPECT_EQ(plan.rows, (std::vector<SendRow>{{14, false, 7}, {92, c.word, *c.value}}));
        } else {
            EXPECT_EQ(plan.result.message, "Edición de datos inválido");
            EXPECT_TRUE(plan.rows.empty());
        }
    }
}

}  // namespace
}  // namespace velmorin
