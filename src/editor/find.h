#pragma once
// Find: the cells a word names, and the step from the cursor to the next or
// previous of them. A cell matches when the word is, ignoring case, its
// mnemonic, the memory name or alias of one of its operands, or the name or
// user name of a label it jumps to; a label itself matches at the first
// left-rail cell of its block, where the diagram draws it.
#include <optional>
#include <string_view>
#include <vector>

#include "editor/geometry.h"
#include "model/ladder_model.h"

namespace velmorin {

// In grid order (row, then column). Nothing for an empty word.
std::vector<CellPos> FindMatches(const ProgramModel& model, std::string_view word);

struct FindStep {
    std::optional<CellPos> match;  // nothing when there are no matches
    bool wrapped = false;          // went past the last (first) match back to the first (last)
};

// The first match after `from` (before it, backwards), or at it when
// `includeFrom`; past the end the search goes round once.
FindStep StepToMatch(const std::vector<CellPos>& matches, CellPos from, bool forward, bool includeFrom);

// The cell the cursor goes to for a match: a label's rail cell is not
// editable, so the cursor stands on the first cell beside it.
CellPos CursorFor(CellPos match);

}  // namespace velmorin
