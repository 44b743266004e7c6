#pragma once
// The element catalogue: the vocabulary of the diagram and of the controller's
// instruction set. One read-only table feeds the editor, the source file, the
// code generator, the listing and the dump tool.
#include <array>
#include <cstdint>

namespace velmorin {

enum class ParamKind : int32_t {
    Number = 0,
    Label = 1,
    Reserved2 = 2,
    Time10 = 3,
    Time100 = 4,
    Reserved5 = 5,
    Variable = 6,
};

// Element ids (positions in the catalogue).
enum ElementId : int32_t {
    ElementAnd = 0, ElementAndn = 1, ElementAndp = 2, ElementCr = 3, ElementCs = 4,
    ElementIf1 = 5, ElementLd = 6, ElementLdn = 7, ElementOr = 8, ElementOrn = 9,
    ElementOrp = 10, ElementOut = 11, ElementRst = 12, ElementSet = 13, ElementSetb = 14,
    ElementEnd = 15, ElementCtv = 16, ElementJp1 = 17, ElementRjp = 18, ElementTpv = 19,
    ElementTpvf = 20, ElementLdi = 21, ElementOsc = 22, ElementRct = 23, ElementRtp = 24,
    ElementPulso = 25, ElementTp = 26, ElementTpf = 27, ElementGoto = 28, ElementGosub = 29,
    ElementNot = 30, ElementLdiv = 31, ElementIfv1 = 32, ElementJpv1 = 33, ElementSetif1 = 34,
    ElementXor = 35, ElementIf0 = 36, ElementClrif1 = 37, ElementJp0 = 38, ElementNota = 39,
    ElementDummy = 40,
    ElementNone = 41,
};

constexpr int32_t CatalogueSize = 41;

// compileFlags bits.
constexpr int32_t CompileFlagLoad = 0x02;         // accumulator load: ld, ldn, ldi, ldiv
constexpr int32_t CompileFlagJump = 0x04;         // jumps and calls
constexpr int32_t CompileFlagTerminating = 0x10;  // must stay last in its chain

// monitorSlots flags.
constexpr int32_t MonitorPolled = 0x01;
constexpr int32_t MonitorColour = 0x02;
constexpr int32_t MonitorText = 0x04;
constexpr int32_t MonitorTenths = 0x10;
constexpr int32_t MonitorHundredths = 0x20;

struct TextOffset {
    int32_t dx;
    int32_t dy;  // screen pixels above the cell's lower-left corner (64 x 64 cell)
};

struct ParamDef {
    ParamKind kind;
    int32_t low;
    int32_t high;
    int32_t shift;
    int32_t base;
    int32_t wide;     // 1: two operand bytes, low byte first
    int32_t auxFlag;
    const char* label;
};

struct MonitorSlot {
    int32_t flags;
    TextOffset point;
    int32_t param;  // 1-based parameter number
};

struct CatalogueEntry {
    int32_t opcode;  // -1 for the placeholder
    const char* mnemonic;
    int32_t paramCount;
    int32_t cellKind;
    int32_t id;
    std::array<TextOffset, 4> textOffsets;  // mnemonic, parameters 1..3
    int32_t compileFlags;
    std::array<MonitorSlot, 3> monitorSlots;
    const char* description;  // UTF-8
    std::array<ParamDef, 3> paramDefs;
};

extern const std::array<CatalogueEntry, CatalogueSize> ElementCatalogue;

// The entry of an element id 0..40. Callers treat ids >= 41 as no element.
const CatalogueEntry& CatalogueEntryFor(int32_t elementId);

struct IndexRange {
    int32_t first;
    int32_t last;
};

// What an instruction does with one of its operands. A Variable parameter
// is read unless the instruction writes it; a Label parameter is where the
// instruction jumps; numbers and times are neither.
enum class OperandRole : int32_t { None, Reads, Writes, Jumps };

// The role of parameter `param` (0-based) of an element id; None for ids
// outside the catalogue and parameters the entry does not have.
OperandRole RoleOf(int32_t elementId, int32_t param);

// Selectable variable indices of a Variable parameter.
IndexRange VariableRange(const ParamDef& def);
// The operand byte compiled for a variable index.
int32_t EncodeOperand(const ParamDef& def, int32_t index);

}  // namespace velmorin
