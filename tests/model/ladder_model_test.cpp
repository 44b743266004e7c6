#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/ladder_model.h"
#include "model/operand_areas.h"

namespace velmorin {
namespace {

class ResetTest : public ::testing::Test {
protected:
    void SetUp() override { ResetModel(model); }
    ProgramModel model;
};

TEST_F(ResetTest, RailsOfEveryBlockAndNothingElse) {
    for (int32_t block = 0; block < BlockCount; ++block) {
        const int32_t row = BlockFirstRow(block);
        SCOPED_TRACE(block);
        const int left[4] = {KindCornerDownRight, KindTeeUpDownRight, KindTeeUpDownRight, KindCornerUpRight};
        const int right[4] = {KindCornerDownLeft, KindTeeUpDownLeft, KindTeeUpDownLeft, KindCornerUpLeft};
        for (int32_t r = 0; r < 4; ++r) {
            EXPECT_EQ(model.grid.at(row + r, 0).shape, left[r]);
            EXPECT_EQ(model.grid.at(row + r, 9).shape, right[r]);
            for (int32_t c = 1; c <= 8; ++c) EXPECT_EQ(model.grid.at(row + r, c).shape, ShapeEmpty);
        }
    }
    for (int32_t c = 0; c < GridColumns; ++c) EXPECT_EQ(model.grid.at(0, c).shape, ShapeEmpty);
    for (const LadderCell& cell : model.grid.cells) {
        EXPECT_EQ(cell.element, ElementNone);
        for (const ParamSlot& slot : cell.params) EXPECT_EQ(slot[0], Unchosen);
    }
}

TEST_F(ResetTest, ClearsAnEditedModel) {
    LadderCell& cell = model.grid.at(5, 3);
    cell.shape = KindCoil;
    cell.element = ElementOut;
    cell.params[0][0] = 9;
    SetFieldText(model.aliases[200].alias, "stray");
    SetFieldText(model.aliases[14].alias, "motor");
    SetFieldText(model.labels[3].alias, "fin");

    ResetModel(model);

    EXPECT_EQ(cell.shape, ShapeEmpty);
    EXPECT_EQ(cell.element, ElementNone);
    EXPECT_EQ(cell.params[0][0], Unchosen);
    EXPECT_EQ(FieldText(model.aliases[200].alias), "");
    EXPECT_EQ(FieldText(model.aliases[14].alias), "v01");
    EXPECT_EQ(FieldText(model.labels[3].alias), "etq04");
}

TEST_F(ResetTest, AliasLabelAndMonitorNamesWithTheirEndMarks) {
    struct Expect {
        int index;
        const char* name;
        const char* alias;
    };
    for (const Expect& e : {Expect{0, "E1", "e1"}, {7, "E8", "e8"}, {8, "S1", "s1"}, {13, "S6", "s6"},
                            {14, "V01", "v01"}, {59, "V46", "v46"}, {60, "RE01", "re01"},
                            {64, "RE05", "re05"}, {75, "RE16", "re16"}, {76, "CNT1", "Cnt1"},
                            {79, "CNT4", "Cnt4"}, {80, "TPV1", "Tpv1"}, {84, "TPVF1", "Tpvf1"},
                            {85, "TPVF2", "Tpvf2"}, {86, "TP1", "Tp1"}, {90, "TPF1", "Tpf1"},
                            {91, "TPF2", "Tpf2"}}) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(FieldText(model.aliases[e.index].name), e.name);
        EXPECT_EQ(FieldText(model.aliases[e.index].alias), e.alias);
    }
    for (const Expect& e : {Expect{0, "ETQ01", "etq01"}, {9, "ETQ10", "etq10"}, {24, "ETQ25", "etq25"}}) {
        EXPECT_EQ(FieldText(model.labels[e.index].name), e.name);
        EXPECT_EQ(FieldText(model.labels[e.index].alias), e.alias);
    }
    // Counter and timer count states take two entries each after the variables.
    for (const auto& [index, name] : std::vector<std::pair<int, std::string>>{
             {0, "E1"}, {13, "S6"}, {64, "RE05"}, {76, "CNT1"}, {85, "TPVF2"}, {91, "TPF2"}, {92, "CNTE1"},
             {93, "CNTE1"}, {94, "CNTE2"}, {99, "CNTE4"}, {100, "TPE1"}, {101, "TPE1"}, {122, "TPE12"},
             {123, "TPE12"}, {124, "TPE13"}})
        EXPECT_EQ(FieldText(model.monitorNames[index]), name) << index;
    for (const NameField& end : {model.aliases[92].name, model.monitorNames[125]}) {
        EXPECT_EQ(static_cast<uint8_t>(end[0]), 0xFF);
        EXPECT_EQ(end[1], 0);
    }
    for (int i = 93; i < AliasCount; ++i) EXPECT_EQ(model.aliases[i].name[0], 0) << i;
}

TEST(OperandNames, FormatsByAreaAndPairsCountStates) {
    EXPECT_EQ(FormatOperandName(VariableAreas, 0), "e1");
    EXPECT_EQ(FormatOperandName(VariableAreas, 64), "re05");
    EXPECT_EQ(FormatOperandName(VariableAreas, 77), "Cnt2");
    EXPECT_EQ(FormatOperandName(VariableAreas, 91), "Tpf2");
    EXPECT_EQ(FormatOperandName(VariableAreas, 92), "");
    EXPECT_EQ(FormatOperandName(VariableAreas, -1), "");
    EXPECT_EQ(FormatOperandName(MonitorAreas, 93), "CntE1");
    EXPECT_EQ(FormatOperandName(MonitorAreas, 94), "CntE2");
    EXPECT_EQ(FormatOperandName(MonitorAreas, 124), "TpE13");
    EXPECT_EQ(FormatOperandName(MonitorAreas, 125), "");
    // Counter and timer outputs find their count state in the monitor table.
    EXPECT_EQ(FormatOperandName(MonitorAreas, CountStateIndex(76)), "CntE1");
    EXPECT_EQ(FormatOperandName(MonitorAreas, CountStateIndex(84)), "TpE5");
    EXPECT_EQ(FormatOperandName(MonitorAreas, CountStateIndex(91)), "TpE12");
}

TEST(FieldHelpers, TextIsCutAtNineBytesAndTailKept) {
    NameField field;
    field.fill('x');
    EXPECT_EQ(FieldText(field), "xxxxxxxxxx");  // no terminator: all ten bytes
    SetFieldText(field, "abcdefghijkl");
    EXPECT_EQ(FieldText(field), "abcdefghi");
    SetFieldText(field, "ab");
    EXPECT_EQ(FieldText(field), "ab");
    EXPECT_EQ(field[3], 'd');  // bytes after the terminator stay as they were

    ParamSlot slot{};
    SetSlotText(slot, "2.5");
    EXPECT_EQ(SlotText(slot), "2.5");
    slot.fill('7');
    EXPECT_EQ(SlotText(slot), "7777777777");
}

}  // namespace
}  // namespace velmorin
