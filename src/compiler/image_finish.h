#pragma once
// The last step of a clean compilation: the image turns from element ids and
// label indexes into the controller's opcodes and code addresses, and the
// listing gets its hexadecimal section on the way.
#include <array>
#include <string>

#include "compiler/compile_state.h"
#include "compiler/program_image.h"

namespace velmorin {

// "\nBINARY-----\n" and one line per instruction (offset, opcode, operand
// bytes, in hex), turning the image into its final state: opcodes for
// element ids, code addresses for label indexes.
std::string FinishImage(const std::array<LabelPlacement, LabelCount>& labels, CodeImage& image);

}  // namespace velmorin
