#pragma once
// From cells to graph: the cell node table gives every element and wire cell
// its own nodes, the wire pass then merges the nodes of each wire net.
#include "compiler/compile_state.h"

namespace velmorin {

// Returns whether any cell holds a compilable element.
bool BuildCellNodeTable(CompileState& state, const LadderGrid& grid);
// The same answer without building the table: the cells it takes in (every
// row, columns 0..8) checked for a compilable element.
bool AnyCompilableCell(const LadderGrid& grid);

// Gives every element that touches a wire net the net's first wire cell (in
// reading order) as its input or output node.
void WirePass(CompileState& state);

}  // namespace velmorin
