#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/catalogue.h"
#include "model/cell_kinds.h"

namespace velmorin {
namespace {

// One parameter as the element table lists it: the selectable range, and the
// raw low/high/shift/base where the table gives them apart from the range.
struct ExpParam {
    ParamKind kind;
    const char* label;
    int first, last;
    int low, high, shift, base;
    bool wide, aux;
};

constexpr ExpParam V(const char* label, int first, int last, bool aux = false) {
    return {ParamKind::Variable, label, first, last, first, last, 0, 0, false, aux};
}
constexpr ExpParam VRaw(const char* label, int first, int last, int low, int high, int shift,
                        int base, bool aux = false) {
    return {ParamKind::Variable, label, first, last, low, high, shift, base, false, aux};
}
constexpr ExpParam L(const char* label) { return {ParamKind::Label, label, 0, 0, 0, 0, 0, 0, false, false}; }
constexpr ExpParam N(const char* label, int low, int high, ParamKind kind = ParamKind::Number,
                     bool wide = false, bool aux = true) {
    return {kind, label, 0, 0, low, high, 0, 0, wide, aux};
}

struct ExpMonitor {
    int flags, param, dy;
};

struct ExpEntry {
    int id;
    const char* mnemonic;
    int opcode, cellKind, flags;
    const char* description;
    std::vector<ExpParam> params;
    std::vector<ExpMonitor> monitor;
    int mnemonicDy, p1Dy, p2Dy;
};

const ExpMonitor C1{0x03, 1, 0};

const std::vector<ExpEntry>& Expected() {
    using K = ParamKind;
    static const std::vector<ExpEntry> table = {
        {0, "and", 0, 24, 0x01, "", {V(" ", 0, 91)}, {}, 60, 0, 0},
        {1, "andn", 1, 24, 0x01, "", {V(" ", 0, 91)}, {}, 0, 0, 0},
        {2, "andp", 2, 24, 0x01, "", {}, {}, 0, 0, 0},
        {3, "cr", 3, 24, 0x01, "Control Reset", {}, {}, 0, 0, 0},
        {4, "cs", 4, 24, 0x01, "Control Set", {}, {}, 0, 0, 0},
        {5, "if1", 5, 21, 0x1C, "if acc 1", {L("Etiqueta")}, {}, 61, 39, 0},
        {6, "ld", 6, 14, 0x02, "Load Acc", {V(" ", 0, 94)}, {C1}, 62, 0, 0},
        {7, "ldn", 7, 15, 0x02, "Load Acc Negado", {V(" ", 0, 91)}, {C1}, 62, 0, 0},
        {8, "or", 8, 24, 0x01, "", {V(" ", 0, 91)}, {}, 0, 0, 0},
        {9, "orn", 9, 24, 0x01, "", {V(" ", 0, 91)}, {}, 0, 0, 0},
        {10, "orp", 10, 24, 0x01, "", {}, {}, 0, 0, 0},
        {11, "out", 11, 22, 0x18, "Out Acc", {VRaw("Variable", 0, 75, 8, 83, -8, 0)}, {C1}, 62, 0, 0},
        {12, "rst", 12, 1, 0x19, "Reset Acc", {N("Repeticion", 0, 255), V("Variable", 8, 75)}, {}, 62, 42, 22},
        {13, "set", 13, 1, 0x19, "Set Acc", {V("Variable", 8, 75)}, {}, 62, 30, 0},
        {14, "setb", 14, 1, 0x19, "Set Binary", {V("Variable", 8, 75)}, {}, 62, 30, 0},
        {15, "end", 15, 0, 0x08, "End Program", {}, {}, 62, 42, 0},
        {16, "ctv", 16, 3, 0x11, "Contador por variable", {VRaw("Variable", 76, 79, 1, 4, -1, 76, true)},
         {C1, {0x05, 1, 30}}, 52, 12, 0},
        {17, "jp1", 17, 21, 0x14, "Jump if Acc 1", {L("Etiqueta")}, {}, 62, 30, 0},
        {18, "rjp", 18, 0, 0x08, "Return from Jump", {}, {}, 62, 0, 0},
        {19, "tpv", 19, 1, 0x11, "Temporizador por variable", {VRaw("Variable", 80, 83, 1, 4, -1, 80)},
         {C1, {0x05, 1, 22}}, 62, 42, 0},
        {20, "tpvf", 19, 1, 0x11, "Temporzador por variable r\xC3\xA1pido",
         {VRaw("Variable", 84, 85, 1, 2, 3, 80)}, {C1, {0x05, 1, 22}}, 62, 42, 0},
        {21, "ldi", 20, 1, 0x02, "Load Inmediato", {N("Valor", 0, 255)}, {}, 62, 30, 0},
        {22, "osc", 21, 1, 0x01, "Oscilador", {N("T.On", 1, 250, K::Time10), N("T.Off", 1, 250, K::Time10)},
         {}, 62, 42, 22},
        {23, "rct", 22, 1, 0x10, "Reset contadores", {}, {}, 62, 0, 0},
        {24, "rtp", 23, 1, 0x10, "Reset temporizadores", {}, {}, 62, 0, 0},
        {25, "pulso", 24, 26, 0x01, "Pulso", {}, {}, 62, 0, 0},
        {26, "tp", 25, 1, 0x11, "Temporizador",
         {VRaw("Variable", 86, 89, 1, 4, -1, 86), N("Tiempo", 1, 9999, K::Time10, true, false)},
         {C1, {0x15, 1, 22}}, 62, 42, 22},
        {27, "tpf", 25, 1, 0x11, "Temporizador rapido",
         {VRaw("Variable", 90, 91, 1, 2, 3, 86), N("Tiempo", 1, 9999, K::Time100, true, false)},
         {C1, {0x25, 1, 22}}, 62, 42, 22},
        {28, "goto", 26, 0, 0x0C, "Goto incondicional", {L("Etiqueta")}, {}, 62, 30, 0},
        {29, "gosub", 27, 1, 0x04, "Goto a subrutina", {L("Etiqueta")}, {}, 62, 30, 0},
        {30, "not", 28, 1, 0x11, "Invierte variable", {V("Variable", 0, 75)}, {C1}, 61, 30, 0},
        {31, "ldiv", 29, 1, 0x02, "Load var Inmediato", {N("Valor", 0, 255), V("Variable", 0, 75)},
         {{0x03, 2, 0}}, 61, 42, 22},
        {32, "ifv1", 30, 21, 0x1C, "if var 1", {V("Variable", 0, 92), L("Etiqueta")}, {C1}, 61, 46, 28},
        {33, "jpv1", 31, 21, 0x14, "Jump if var 1", {V("Variable", 0, 92), L("Etiqueta")}, {C1}, 61, 46, 28},
        {34, "setif1", 32, 1, 0x09, "Set var", {V("Var 1", 0, 75), V("Var 2", 0, 92)}, {C1}, 61, 42, 22},
        {35, "xor", 33, 1, 0x09, "xor var", {V("Variable", 0, 92)}, {C1}, 61, 30, 0},
        {36, "if0", 34, 21, 0x1C, "if acc 0", {L("Etiqueta")}, {}, 61, 39, 0},
        {37, "clrif1", 35, 1, 0x01, "clear if 1", {V("Var 1", 0, 75), V("Var 2", 0, 92)}, {C1}, 61, 42, 22},
        {38, "jp0", 36, 21, 0x04, "jump if 0", {L("Etiqueta")}, {}, 61, 39, 0},
        {39, "nota", 37, 1, 0x09, "Invierte acc", {}, {}, 61, 0, 0},
        {40, "dummy", -1, 24, 0x00, "", {}, {}, 0, 0, 0},
    };
    return table;
}

TEST(Catalogue, EveryEntryMatchesTheElementTable) {
    ASSERT_EQ(Expected().size(), static_cast<size_t>(CatalogueSize));
    for (const ExpEntry& e : Expected()) {
        SCOPED_TRACE(e.mnemonic);
        const CatalogueEntry& entry = CatalogueEntryFor(e.id);
        EXPECT_EQ(entry.id, e.id);
        EXPECT_STREQ(entry.mnemonic, e.mnemonic);
        EXPECT_EQ(entry.opcode, e.opcode);
        EXPECT_EQ(entry.cellKind, e.cellKind);
        EXPECT_EQ(entry.compileFlags, e.flags);
        EXPECT_STREQ(entry.description, e.description);
        // The named flag bits mark exactly the loads and the jumps.
        const std::string name = e.mnemonic;
        const auto starts = [&](const char* prefix) { return name.rfind(prefix, 0) == 0; };
        const bool jump = starts("if") || starts("jp") || starts("go");
        EXPECT_EQ((entry.compileFlags & CompileFlagLoad) != 0, starts("ld"));
        EXPECT_EQ((entry.compileFlags & CompileFlagJump) != 0, jump);
        // Whatever the editor can offer for a cell must be a kind that holds an element.
        if (entry.cellKind != KindCrossOut && entry.cellKind != KindCrossOutAlt) {
            EXPECT_TRUE(KindHas(entry.cellKind, AttrElement));
            EXPECT_TRUE(KindHas(entry.cellKind, AttrCompilable));
        }
        ASSERT_EQ(entry.paramCount, static_cast<int32_t>(e.params.size()));
        for (size_t i = 0; i < e.params.size(); ++i) {
            SCOPED_TRACE(i + 1);
            const ExpParam& p = e.params[i];
            const ParamDef& def = entry.paramDefs[i];
            EXPECT_EQ(def.kind, p.kind);
            EXPECT_STREQ(def.label, p.label);
            EXPECT_EQ(def.low, p.low);
            EXPECT_EQ(def.high, p.high);
            EXPECT_EQ(def.shift, p.shift);
            EXPECT_EQ(def.base, p.base);
            EXPECT_EQ(def.wide, p.wide ? 1 : 0);
            EXPECT_EQ(def.auxFlag, p.aux ? 1 : 0);
            if (p.kind == ParamKind::Variable) {
                EXPECT_EQ(VariableRange(def).first, p.first);
                EXPECT_EQ(VariableRange(def).last, p.last);
            }
        }
        for (size_t i = 0; i < 3; ++i) {
            const MonitorSlot& slot = entry.monitorSlots[i];
            const ExpMonitor m = i < e.monitor.size() ? e.monitor[i] : ExpMonitor{0, 0, 0};
            EXPECT_EQ(slot.flags, m.flags) << "slot " << i;
            EXPECT_EQ(slot.param, m.param) << "slot " << i;
            EXPECT_EQ(slot.point.dx, 0);
            EXPECT_EQ(slot.point.dy, m.dy) << "slot " << i;
        }
        const int dys[4] = {e.mnemonicDy, e.p1Dy, e.p2Dy, 0};
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(entry.textOffsets[i].dx, 0);
            EXPECT_EQ(entry.textOffsets[i].dy, dys[i]) << "text point " << i;
        }
    }
}

TEST(Operands, CountersTimersAndOutputsEncodeFromTheirFirstCode) {
    for (const auto& [id, firstCode] : {std::pair{ElementTp, 0}, {ElementTpf, 4}, {ElementTpv, 0},
                                        {ElementTpvf, 4}, {ElementCtv, 0}, {ElementOut, 0}}) {
        const ParamDef& def = CatalogueEntryFor(id).paramDefs[0];
        SCOPED_TRACE(CatalogueEntryFor(id).mnemonic);
        const IndexRange range = VariableRange(def);
        for (int index = range.first; index <= range.last; ++index)
            EXPECT_EQ(EncodeOperand(def, index), firstCode + index - range.first);
    }
}

TEST(CellKinds, MasksConnectorsAndColourVariants) {
    const int32_t masks[CellKindCount] = {
        0x048A, 0x068A, 0x048C, 0x048C, 0x6B01, 0x5B01, 0x9841, 0xA841, 0xF841, 0x0301,
        0x0301, 0x0301, 0x0041, 0xCA41, 0x0688, 0x0688, 0xD841, 0xB841, 0x7B01, 0xE841,
        0x3B01, 0x0488, 0x0688, 0x0320, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0300};
    for (int kind = 0; kind < CellKindCount; ++kind) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(KindMask(kind), masks[kind]);
        EXPECT_FALSE(KindHas(kind, AttrWire) && KindHas(kind, AttrCompilable));
        const bool coloured = kind <= 3 || kind == 14 || kind == 15 || kind == 21 || kind == 22;
        EXPECT_EQ(KindHasColourVariants(kind), coloured);
    }
    // The named bits are the ones the masks use.
    EXPECT_EQ(KindMask(KindHorizontal) & (AttrLeft | AttrRight | AttrWire), AttrLeft | AttrRight | AttrWire);
    EXPECT_EQ(KindMask(KindVertical) & (AttrUp | AttrDown), AttrUp | AttrDown);
    EXPECT_FALSE(KindHas(KindVertical, AttrLeft | AttrRight));
    for (int kind : {KindContactOpen, KindContactClosed, KindConditional, KindCoil})
        EXPECT_TRUE(KindHas(kind, AttrCompilable)) << kind;
    EXPECT_TRUE(KindHas(ShapeEmpty, AttrNothingLeft));
    EXPECT_TRUE(KindHas(ShapeEmpty, AttrLowerBoxLeftOk));
    EXPECT_FALSE(KindHas(ShapeEmpty, AttrUp | AttrDown | AttrLeft | AttrRight));
    // Damaged shapes connect to nothing.
    EXPECT_EQ(KindMask(-1), 0);
    EXPECT_EQ(KindMask(30), 0);
    EXPECT_FALSE(KindHasColourVariants(200));
}

}  // namespace
}  // namespace velmorin
