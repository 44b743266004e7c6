#pragma once
// Emission: the chains of a block become bytes of the CodeImage (element ids
// and operand bytes; the image writer later turns ids into opcodes).
#include "compiler/compile_state.h"

namespace velmorin {

// Returns 0 when the code-size limit was hit (cancel is then set).
int EmitBlock(CompileState& state, int32_t block);

// The operand bytes of parameter p of the cell: what emission appends.
// Returns the number of bytes (0..2) written to `out`.
int32_t OperandValueBytes(const ParamDef& def, const ParamSlot& slot, uint8_t out[2]);

}  // namespace velmorin
