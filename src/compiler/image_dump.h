#pragma once
// A final image listed instruction by instruction, for `velmorin-cli dump`.
#include <cstdint>
#include <span>
#include <string>

#include "compiler/program_image.h"

namespace velmorin {

// One line per instruction: offset, the instruction's bytes in hex, the
// mnemonic and its decoded operands (canonical operand names, times with
// their decimal point, label operands as code addresses). An unknown opcode
// ends the listing with a line saying so.
std::string DumpImage(const CodeImage& image);
// The same for the code alone: nothing past its end is read.
std::string DumpCode(std::span<const uint8_t> code);

}  // namespace velmorin
