#pragma once
// The first pass from an image back to a diagram: the code read instruction
// by instruction through the instruction set, every operand checked against
// what the parameter dialog could have given that element, and every jump
// turned into the code address its label stood for.
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/instruction_set.h"
#include "compiler/program_image.h"

namespace velmorin {

struct DecodedInstruction {
    Instruction ins;      // element, offset, length and operands
    int32_t target = -1;  // for a label operand: the code address it names (0..256)
};

struct DecodedProgram {
    std::vector<DecodedInstruction> instructions;
    int32_t codeLength = 0;
};

// Why the way back stopped, and at which code address.
struct DecompileFailure {
    int32_t address = 0;
    std::string reason;
};

// "dirección 1A: " and the reason: where the way back stopped, as the
// user reads it beside the image's listing.
std::string AtAddress(int32_t address, const std::string& reason);

// The end of the code. A compiled image says how long it is, but one read
// back from a controller is always 256 bytes: the compiler fills what it
// does not use with 0xCD, which no opcode has, and the send dialog sends the
// whole buffer, so the code ends at the first instruction boundary from
// which every byte is that filler. An image whose instructions run to its
// last byte keeps its length. The image's own length is an upper bound.
int32_t CodeLengthOf(const CodeImage& image);

// Decodes the first `codeLength` bytes. False, with the failure filled in,
// for an unknown opcode, an instruction cut short, an element no cell can
// hold, an operand the parameter dialog could not have chosen, or a jump
// that does not land forward on an instruction boundary.
bool DecodeProgram(const CodeImage& image, int32_t codeLength, DecodedProgram& program, DecompileFailure& failure);

}  // namespace velmorin
