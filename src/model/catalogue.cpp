#include "model/catalogue.h"

#include <cstddef>

namespace velmorin {
namespace {

using K = ParamKind;

constexpr ParamDef NoParam{K::Number, 0, 0, 0, 0, 0, 0, ""};
constexpr MonitorSlot NoSlot{0, {0, 0}, 0};

constexpr ParamDef Var(const char* label, int32_t low, int32_t high, int32_t shift = 0,
                       int32_t base = 0, int32_t aux = 0) {
    return {K::Variable, low, high, shift, base, 0, aux, label};
}
constexpr ParamDef Lbl(const char* label) { return {K::Label, 0, 0, 0, 0, 0, 0, label}; }
constexpr ParamDef Num(const char* label, int32_t low, int32_t high, int32_t aux) {
    return {K::Number, low, high, 0, 0, 0, aux, label};
}
constexpr ParamDef Time(K kind, const char* label, int32_t low, int32_t high, int32_t wide,
                        int32_t aux) {
    return {kind, low, high, 0, 0, wide, aux, label};
}

// Offsets: mnemonic dy, then the dy of parameter texts 1 and 2 (parameter 3 is never drawn apart).
constexpr std::array<TextOffset, 4> At(int32_t mnemonic, int32_t p1 = 0, int32_t p2 = 0) {
    return {{{0, mnemonic}, {0, p1}, {0, p2}, {0, 0}}};
}

constexpr MonitorSlot Poll(int32_t flags, int32_t param, int32_t dy = 0) {
    return {flags, {0, dy}, param};
}

constexpr std::array<MonitorSlot, 3> NoMonitor{{NoSlot, NoSlot, NoSlot}};
constexpr std::array<MonitorSlot, 3> Colour1{{Poll(0x03, 1), NoSlot, NoSlot}};
constexpr std::array<MonitorSlot, 3> Colour2{{Poll(0x03, 2), NoSlot, NoSlot}};
constexpr std::array<MonitorSlot, 3> CounterMonitor{{Poll(0x03, 1), Poll(0x05, 1, 30), NoSlot}};
constexpr std::array<MonitorSlot, 3> VarTimerMonitor{{Poll(0x03, 1), Poll(0x05, 1, 22), NoSlot}};
constexpr std::array<MonitorSlot, 3> TimerMonitor{{Poll(0x03, 1), Poll(0x15, 1, 22), NoSlot}};
constexpr std::array<MonitorSlot, 3> FastTimerMonitor{{Poll(0x03, 1), Poll(0x25, 1, 22), NoSlot}};

constexpr std::array<ParamDef, 3> P() { return {{NoParam, NoParam, NoParam}}; }
constexpr std::array<ParamDef, 3> P(ParamDef a) { return {{a, NoParam, NoParam}}; }
constexpr std::array<ParamDef, 3> P(ParamDef a, ParamDef b) { return {{a, b, NoParam}}; }

}  // namespace

const std::array<CatalogueEntry, CatalogueSize> ElementCatalogue{{
    {0, "and", 1, 24, 0, At(60), 0x01, NoMonitor, "", P(Var(" ", 0, 91))},
    {1, "andn", 1, 24, 1, At(0), 0x01, NoMonitor, "", P(Var(" ", 0, 91))},
    {2, "andp", 0, 24, 2, At(0), 0x01, NoMonitor, "", P()},
    {3, "cr", 0, 24, 3, At(0), 0x01, NoMonitor, "Control Reset", P()},
    {4, "cs", 0, 24, 4, At(0), 0x01, NoMonitor, "Control Set", P()},
    {5, "if1", 1, 21, 5, At(61, 39), 0x1C, NoMonitor, "if acc 1", P(Lbl("Etiqueta"))},
    {6, "ld", 1, 14, 6, At(62), 0x02, Colour1, "Load Acc", P(Var(" ", 0, 94))},
    {7, "ldn", 1, 15, 7, At(62), 0x02, Colour1, "Load Acc Negado", P(Var(" ", 0, 91))},
    {8, "or", 1, 24, 8, At(0), 0x01, NoMonitor, "", P(Var(" ", 0, 91))},
    {9, "orn", 1, 24, 9, At(0), 0x01, NoMonitor, "", P(Var(" ", 0, 91))},
    {10, "orp", 0, 24, 10, At(0), 0x01, NoMonitor, "", P()},
    {11, "out", 1, 22, 11, At(62), 0x18, Colour1, "Out Acc", P(Var("Variable", 8, 83, -8))},
    {12, "rst", 2, 1, 12, At(62, 42, 22), 0x19, NoMonitor, "Reset Acc",
     P(Num("Repeticion", 0, 255, 1), Var("Variable", 8, 75))},
    {13, "set", 1, 1, 13, At(62, 30), 0x19, NoMonitor, "Set Acc", P(Var("Variable", 8, 75))},
    {14, "setb", 1, 1, 14, At(62, 30), 0x19, NoMonitor, "Set Binary", P(Var("Variable", 8, 75))},
    {15, "end", 0, 0, 15, At(62, 42), 0x08, NoMonitor, "End Program", P()},
    {16, "ctv", 1, 3, 16, At(52, 12), 0x11, CounterMonitor, "Contador por variable",
     P(Var("Variable", 1, 4, -1, 76, 1))},
    {17, "jp1", 1, 21, 17, At(62, 30), 0x14, NoMonitor, "Jump if Acc 1", P(Lbl("Etiqueta"))},
    {18, "rjp", 0, 0, 18, At(62), 0x08, NoMonitor, "Return from Jump", P()},
    {19, "tpv", 1, 1, 19, At(62, 42), 0x11, VarTimerMonitor, "Temporizador por variable",
     P(Var("Variable", 1, 4, -1, 80))},
    {19, "tpvf", 1, 1, 20, At(62, 42), 0x11, VarTimerMonitor, "Temporzador por variable rápido",
     P(Var("Variable", 1, 2, 3, 80))},
    {20, "ldi", 1, 1, 21, At(62, 30), 0x02, NoMonitor, "Load Inmediato",
     P(Num("Valor", 0, 255, 1))},
    {21, "osc", 2, 1, 22, At(62, 42, 22), 0x01, NoMonitor, "Oscilador",
     P(Time(K::Time10, "T.On", 1, 250, 0, 1), Time(K::Time10, "T.Off", 1, 250, 0, 1))},
    {22, "rct", 0, 1, 23, At(62), 0x10, NoMonitor, "Reset contadores", P()},
    {23, "rtp", 0, 1, 24, At(62), 0x10, NoMonitor, "Reset temporizadores", P()},
    {24, "pulso", 0, 26, 25, At(62), 0x01, NoMonitor, "Pulso", P()},
    {25, "tp", 2, 1, 26, At(62, 42, 22), 0x11, TimerMonitor, "Temporizador",
     P(Var("Variable", 1, 4, -1, 86), Time(K::Time10, "Tiempo", 1, 9999, 1, 0))},
    {25, "tpf", 2, 1, 27, At(62, 42, 22), 0x11, FastTimerMonitor, "Temporizador rapido",
     P(Var("Variable", 1, 2, 3, 86), Time(K::Time100, "Tiempo", 1, 9999, 1, 0))},
    {26, "goto", 1, 0, 28, At(62, 30), 0x0C, NoMonitor, "Goto incondicional", P(Lbl("Etiqueta"))},
    {27, "gosub", 1, 1, 29, At(62, 30), 0x04, NoMonitor, "Goto a subrutina", P(Lbl("Etiqueta"))},
    {28, "not", 1, 1, 30, At(61, 30), 0x11, Colour1, "Invierte variable",
     P(Var("Variable", 0, 75))},
    {29, "ldiv", 2, 1, 31, At(61, 42, 22), 0x02, Colour2, "Load var Inmediato",
     P(Num("Valor", 0, 255, 1), Var("Variable", 0, 75))},
    {30, "ifv1", 2, 21, 32, At(61, 46, 28), 0x1C, Colour1, "if var 1",
     P(Var("Variable", 0, 92), Lbl("Etiqueta"))},
    {31, "jpv1", 2, 21, 33, At(61, 46, 28), 0x14, Colour1, "Jump if var 1",
     P(Var("Variable", 0, 92), Lbl("Etiqueta"))},
    {32, "setif1", 2, 1, 34, At(61, 42, 22), 0x09, Colour1, "Set var",
     P(Var("Var 1", 0, 75), Var("Var 2", 0, 92))},
    {33, "xor", 1, 1, 35, At(61, 30), 0x09, Colour1, "xor var", P(Var("Variable", 0, 92))},
    {34, "if0", 1, 21, 36, At(61, 39), 0x1C, NoMonitor, "if acc 0", P(Lbl("Etiqueta"))},
    {35, "clrif1", 2, 1, 37, At(61, 42, 22), 0x01, Colour1, "clear if 1",
     P(Var("Var 1", 0, 75), Var("Var 2", 0, 92))},
    {36, "jp0", 1, 21, 38, At(61, 39), 0x04, NoMonitor, "jump if 0", P(Lbl("Etiqueta"))},
    {37, "nota", 0, 1, 39, At(61), 0x09, NoMonitor, "Invierte acc", P()},
    {-1, "dummy", 0, 24, 40, At(0), 0x00, NoMonitor, "", P()},
}};

namespace {

// The operand each instruction writes, as its 1-based parameter number (0:
// it writes none). The catalogue's flags do not say which operand a box
// changes, so this is the one place that does; a row per element id.
constexpr std::array<int8_t, CatalogueSize> WrittenParam{
    0, 0, 0, 0, 0,  // and andn andp cr cs
    0, 0, 0, 0, 0,  // if1 ld ldn or orn
    0, 1, 2, 1, 1,  // orp out rst(Variable) set setb
    0, 1, 0, 0, 1,  // end ctv(its counter) jp1 rjp tpv(its timer)
    1, 0, 0, 0, 0,  // tpvf ldi osc rct rtp
    0, 1, 1, 0, 0,  // pulso tp tpf goto gosub
    1, 2, 0, 0, 1,  // not(inverts it) ldiv(loads it) ifv1 jpv1 setif1(Var 1)
    0, 0, 1, 0, 0,  // xor if0 clrif1(Var 1) jp0 nota
    0,              // dummy
};

}  // namespace

OperandRole RoleOf(int32_t elementId, int32_t param) {
    if (elementId < 0 || elementId >= CatalogueSize || param < 0 || param >= 3) return OperandRole::None;
    const CatalogueEntry& entry = ElementCatalogue[static_cast<size_t>(elementId)];
    if (param >= entry.paramCount) return OperandRole::None;
    switch (entry.paramDefs[static_cast<size_t>(param)].kind) {
        case ParamKind::Variable:
            return WrittenParam[static_cast<size_t>(elementId)] == param + 1 ? OperandRole::Writes : OperandRole::Reads;
        case ParamKind::Label:
            return OperandRole::Jumps;
        default:
            return OperandRole::None;
    }
}

const CatalogueEntry& CatalogueEntryFor(int32_t elementId) {
    // A damaged id must not read outside the table; the placeholder is harmless.
    if (elementId < 0 || elementId >= CatalogueSize) return ElementCatalogue[ElementDummy];
    return ElementCatalogue[static_cast<std::size_t>(elementId)];
}

IndexRange VariableRange(const ParamDef& def) {
    return {def.low + def.shift + def.base, def.high + def.shift + def.base};
}

int32_t EncodeOperand(const ParamDef& def, int32_t index) { return index - def.base; }

}  // namespace velmorin
