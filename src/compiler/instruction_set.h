#pragma once
// The instruction set as the catalogue defines it: how many operand bytes an
// element takes, which element an opcode stands for, and how an instruction
// is laid out in the image. Emission, the listing, the hexadecimal section
// and the dump all read instructions through this one view.
#include <array>
#include <cstdint>

#include "model/catalogue.h"

namespace velmorin {

// The catalogue entry of an element id, or nullptr for an id outside 0..40
// (a damaged cell); such an element compiles to a single byte.
const CatalogueEntry* EntryOrNull(int32_t element);

// Operand bytes a parameter takes in the code.
int32_t OperandBytes(const ParamDef& def);
// Instruction byte plus operand bytes.
int32_t InstructionLength(int32_t element);
bool IsLoad(int32_t element);
bool IsTerminating(int32_t element);
// Low byte of the element's opcode; 0xFF for the placeholder and unknown ids.
uint8_t OpcodeByte(int32_t element);

// One operand of an instruction as it stands in the image.
struct Operand {
    ParamKind kind;
    int32_t offset;  // of its first byte in the image
    int32_t bytes;   // 1 or 2
    int32_t value;   // unsigned; low byte first for two bytes
    int32_t base;    // variable base of the descriptor
};

struct Instruction {
    int32_t offset = 0;
    int32_t element = -1;  // -1 when the byte names no element
    int32_t length = 1;
    bool complete = true;  // false when its operands run past the end given
    int32_t operandCount = 0;
    std::array<Operand, 3> operands{};
};

// Reads the instruction at `offset` (offset < end) whose first byte is the
// element id `element`: the layout while the image is being compiled.
Instruction DecodeAt(const uint8_t* bytes, int32_t offset, int32_t end, int32_t element);

// The element an opcode of a final image stands for. The two opcodes shared
// by two elements are told apart by their variable operand: tpv/tpvf and
// tp/tpf differ by the range their operand byte falls in. -1 if unknown.
int32_t ElementForOpcode(uint8_t opcode, int32_t firstOperandByte);

}  // namespace velmorin
