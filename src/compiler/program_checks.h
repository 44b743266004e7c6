#pragma once
// Checks over the whole program once every block is emitted.
#include "compiler/compile_state.h"

namespace velmorin {

// Last instruction, return after jump targets, call nesting.
void CheckProgram(CompileState& state);

}  // namespace velmorin
