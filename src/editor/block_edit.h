#pragma once
// Whole blocks moved as rungs: insert an empty block, delete one, move one
// up or down. The blocks after the edited place shift, and every jump keeps
// reaching the rung it reached: the labels' user names go with their blocks
// and every label operand is renumbered to match. Only program content
// moves; what the view keeps per cell (live colours, rectangles) stays with
// the grid positions it belongs to.
#include <cstdint>

#include "model/ladder_model.h"

namespace velmorin {

enum class BlockEdit { Insert, Delete, MoveUp, MoveDown };

struct BlockEditOutcome {
    bool done = false;
    const char* refusal = nullptr;  // the fixed text when refused (nothing changed)
    int32_t block = -1;             // where the edited block is afterwards (the cursor follows it)
};

// Refused when a block that holds anything, or that a jump reaches, would
// be pushed off the end by an insert; when a move would leave a jump that
// went to a later block going to its own or an earlier one; and at the first
// or last block for a move past it. A delete retargets the jumps that went
// to the deleted block to the block that takes its place, which the code
// reaches at the same point. Row 0 and label 24 (no block) stay as they are.
BlockEditOutcome EditBlocks(ProgramModel& model, BlockEdit edit, int32_t block);

// Whether a block holds anything beyond its rails as a reset draws them.
bool BlockHoldsAnything(const ProgramModel& model, int32_t block);

}  // namespace velmorin
