#pragma once
// Operations on chains of CodeRecords: a chain starts at a head (link -1)
// and runs along `next`. The reduction passes build the block's code with
// these four.
#include "compiler/compile_state.h"

namespace velmorin {

enum class LinkMode { Plain, BranchOut };

// Appends the chain starting at b after the chain containing a. Returns the
// new tail, or -1 when it failed (b is then discarded).
int32_t LinkChain(CompileState& state, int32_t a, int32_t b, LinkMode mode = LinkMode::Plain);

// Adds a synthetic record with `element` at the end of a's chain. Returns its
// index, or -1 when nothing was added.
int32_t AppendInstruction(CompileState& state, int32_t a, int32_t element);

// b's chain runs after a's chain.
void SeriesJoin(CompileState& state, int32_t a, int32_t b);

// b is a branch parallel to a. Returns false when nothing changed (a single
// branch record that is not a load cannot be joined).
bool ParallelJoin(CompileState& state, int32_t a, int32_t b);

}  // namespace velmorin
