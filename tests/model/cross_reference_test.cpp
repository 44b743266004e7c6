// The cross-reference and the observations drawn from it, on text diagrams.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/test_diagram.h"
#include "model/cross_reference.h"
#include "model/observations.h"
#include "model/operand_areas.h"

namespace velmorin {
namespace {

using testing::Diagram;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// "OUT r1c8 escribe": one use as the tests write it.
std::string UseText(const OperandUse& use) {
    std::string mnemonic = CatalogueEntryFor(use.element).mnemonic;
    for (char& c : mnemonic) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return mnemonic + " r" + std::to_string(use.row) + "c" + std::to_string(use.column) + " " + RoleText(use.role);
}

std::vector<std::string> UseTexts(const std::vector<OperandUse>& uses) {
    std::vector<std::string> texts;
    for (const OperandUse& use : uses) texts.push_back(UseText(use));
    return texts;
}

// The range of a Variable parameter tells what the instruction can do with
// it: a writer never reaches the counter and timer outputs (76..91) unless it
// is the box that owns one, while a reader reaches past them.
TEST(OperandRoles, WritersAreExactlyTheParametersWhoseRangeOnlyAWriterCanHave) {
    int writers = 0;
    for (const CatalogueEntry& entry : ElementCatalogue) {
        for (int p = 0; p < 3; ++p) {
            const OperandRole role = RoleOf(entry.id, p);
            if (p >= entry.paramCount) {
                EXPECT_EQ(role, OperandRole::None) << entry.mnemonic << " " << p;
                continue;
            }
            const ParamDef& def = entry.paramDefs[p];
            switch (def.kind) {
                case ParamKind::Variable: {
                    const IndexRange range = VariableRange(def);
                    const bool writerRange =
                        range.last <= VariableAreas[3].last || range.first >= VariableAreas[4].first;
                    EXPECT_EQ(role == OperandRole::Writes, writerRange) << entry.mnemonic << " parameter " << p + 1;
                    EXPECT_NE(role, OperandRole::None);
                    writers += role == OperandRole::Writes;
                    break;
                }
                case ParamKind::Label:
                    EXPECT_EQ(role, OperandRole::Jumps) << entry.mnemonic;
                    break;
                default:
                    EXPECT_EQ(role, OperandRole::None) << entry.mnemonic;
            }
        }
    }
    // out rst set setb ctv tpv tpvf tp tpf not ldiv setif1 clrif1.
    EXPECT_EQ(writers, 13);
    EXPECT_EQ(RoleOf(ElementNone, 0), OperandRole::None);
    EXPECT_EQ(RoleOf(-1, 0), OperandRole::None);
}

TEST(CrossReference, EveryUseInGridOrderWithItsRoleAndTheLabelsJumpsReach) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1",   //
                "ldn:s1 ─ ─ ─ ─ ─ ─ jp1:@2",  //
                "ld:e2 ─ ─ ─ ─ ─ ─ setif1:v01:e1"});
    d.Block(1, {"ldi:5 ─ ─ ─ ─ ─ ─ ldiv:7:v01",  //
                "ld:e3 ─ ─ ─ ─ ─ ─ ctv:cnt1",    //
                ". . . . . . . ▽"});
    d.Block(2, {"ifv1:v01:@4 . . . . . . .", "ld:cnt1 ─ ─ ─ ─ ─ ─ rst:1:s1", "gosub:@4"});
    // An operand not chosen yet, and an element outside the blocks.
    d.Row(12, "ld");
    d.Row(0, "ld:e8");
    d.Alias("s1", "motor");
    const CrossReference xref = BuildCrossReference(d.model());

    std::vector<std::string> names;
    for (const OperandReference& operand : xref.operands) names.push_back(operand.name + "/" + operand.alias);
    EXPECT_THAT(names, ElementsAre("E1/e1", "E2/e2", "E3/e3", "S1/motor", "V01/v01", "CNT1/Cnt1"));
    auto uses = [&](int index) {
        for (const OperandReference& operand : xref.operands)
            if (operand.index == index) return UseTexts(operand.uses);
        return std::vector<std::string>{};
    };
    EXPECT_THAT(uses(0), ElementsAre("LD r1c1 lee", "SETIF1 r3c8 lee"));
    EXPECT_THAT(uses(8), ElementsAre("OUT r1c8 escribe", "LDN r2c1 lee", "RST r10c8 escribe"));
    EXPECT_THAT(uses(14), ElementsAre("SETIF1 r3c8 escribe", "LDIV r5c8 escribe", "IFV1 r9c1 lee"));
    // The counter box once, at its upper half.
    EXPECT_THAT(uses(76), ElementsAre("CTV r6c8 escribe", "LD r10c1 lee"));

    ASSERT_EQ(xref.labels.size(), 2u);
    EXPECT_EQ(xref.labels[0].name, "ETQ03");
    EXPECT_THAT(UseTexts(xref.labels[0].jumps), ElementsAre("JP1 r2c8 salta"));
    EXPECT_EQ(xref.labels[1].alias, "etq05");
    EXPECT_THAT(UseTexts(xref.labels[1].jumps), ElementsAre("IFV1 r9c1 salta", "GOSUB r11c1 salta"));

    const OperandUse& coil = xref.operands[3].uses[2];
    EXPECT_EQ(PlaceText(d.model(), coil.row, coil.column), "ETQ03 Y2 X8");
    EXPECT_EQ(OperandLabel(xref.operands[3]), "S1 (motor)");
    EXPECT_EQ(OperandLabel(xref.operands[0]), "E1");
}

struct Finding {
    ObservationKind kind;
    std::string operand;
    std::vector<std::string> cells;
    bool operator==(const Finding&) const = default;
};

void PrintTo(const Finding& f, std::ostream* os) {
    *os << ObservationKey(f.kind) << " " << f.operand << " [";
    for (const std::string& c : f.cells) *os << c << ";";
    *os << "]";
}

TEST(Observations, EachFaultIsFoundWithTheCellsItConcerns) {
    using K = ObservationKind;
    const struct {
        const char* what;
        std::vector<std::string> rows;  // block 0 onwards, four rows a block
        std::vector<Finding> expected;
    } cases[] = {
        {"a clean latch", {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", "ld:s1 ┘"}, {}},
        {"two coils on one output",
         {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1", "ld:e2 ─ ─ ─ ─ ─ ─ out:s2", "", "", "ld:e3 ─ ─ ─ ─ ─ ─ out:s1"},
         {{K::DuplicateCoil, "S1", {"OUT r1c8 escribe", "OUT r5c8 escribe"}}}},
        {"a coil and a set are no duplicate, but the set is never reset",
         {"ld:e1 ─ ─ ─ ─ ─ ─ out:v02", "ld:e2 ─ ─ ─ ─ ─ ─ set:v02"},
         {{K::SetWithoutReset, "V02", {"SET r2c8 escribe"}}}},
        {"set and rst of one operand", {"ld:e1 ─ ─ ─ ─ ─ ─ set:re01", "ld:e2 ─ ─ ─ ─ ─ ─ rst:1:re01"}, {}},
        {"a reset with no set", {"ld:e1 ─ ─ ─ ─ ─ ─ rst:3:v09"}, {{K::ResetWithoutSet, "V09", {"RST r1c8 escribe"}}}},
        {"one timer on two boxes",
         {"ld:e1 ─ ─ ─ ─ ─ ─ tp:tp2:1.5", "ld:e2 ─ ─ ─ ─ ─ ─ tp:tp2:3", "ld:tp2 ─ ─ ─ ─ ─ ─ out:s3"},
         {{K::SharedTimerCounter, "TP2", {"TP r1c8 escribe", "TP r2c8 escribe"}}}},
        {"one counter on two boxes",
         {"ld:e1 ─ ─ ─ ─ ─ ─ ctv:cnt3", ". . . . . . . ▽", "ld:e2 ─ ─ ─ ─ ─ ─ ctv:cnt3", ". . . . . . . ▽"},
         {{K::SharedTimerCounter, "CNT3", {"CTV r1c8 escribe", "CTV r3c8 escribe"}}}},
        {"an output and a timer read and never written; a variable may be set from outside",
         {"ld:s4 ─ ─ ─ ─ ─ ─ out:s5", "ldn:tpf1 ─ ─ ─ ─ ─ ─ out:v03", "ld:v40 ─ ─ ─ ─ ─ ─ out:s6",
          "ld:s4 ─ ─ ─ ─ ─ ─ end"},
         {{K::OutputNeverWritten, "S4", {"LD r1c1 lee", "LD r4c1 lee"}},
          {K::OutputNeverWritten, "TPF1", {"LDN r2c1 lee"}}}},
        {"an output read and set in a block of its own",
         {"ld:s6 ─ ─ ─ ─ ─ ─ out:v01", "", "", "", "ld:e1 ─ ─ ─ ─ ─ ─ set:s6", "ld:e2 ─ ─ ─ ─ ─ ─ rst:1:s6"},
         {}},
        {"several faults on one operand, in the order of the kinds",
         {"ld:e1 ─ ─ ─ ─ ─ ─ out:s2", "ld:e2 ─ ─ ─ ─ ─ ─ out:s2", "ld:e3 ─ ─ ─ ─ ─ ─ set:s2"},
         {{K::DuplicateCoil, "S2", {"OUT r1c8 escribe", "OUT r2c8 escribe"}},
          {K::SetWithoutReset, "S2", {"SET r3c8 escribe"}}}},
    };
    for (const auto& c : cases) {
        Diagram d;
        for (size_t r = 0; r < c.rows.size(); ++r) d.Row(static_cast<int>(r) + 1, c.rows[r]);
        const CrossReference xref = BuildCrossReference(d.model());
        std::vector<Finding> found;
        for (const Observation& o : FindObservations(xref)) {
            std::string name;
            for (const OperandReference& operand : xref.operands)
                if (operand.index == o.operand) name = operand.name;
            found.push_back({o.kind, name, UseTexts(o.cells)});
            EXPECT_NE(o.text.find(name), std::string::npos) << c.what << ": " << o.text;
        }
        EXPECT_EQ(found, c.expected) << c.what;
    }
}

TEST(Observations, TextsNameTheOperandByItsAliasToo) {
    Diagram d;
    d.Row(1, "ld:e1 ─ ─ ─ ─ ─ ─ out:s1").Row(2, "ld:e2 ─ ─ ─ ─ ─ ─ out:s1").Alias("s1", "bomba");
    const std::vector<Observation> found = FindObservations(d.model());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "Bobina duplicada: S1 (bomba) se escribe con OUT en 2 lugares");
}

}  // namespace
}  // namespace velmorin
