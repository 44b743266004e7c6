#pragma once
// What a cell of the program holds: its kind, its element and its four
// parameter records. How the view shows it (highlights, live colour, drawn
// rectangles) is in the view's overlay, which no edit, undo or paste moves.
#include <array>
#include <cstdint>

#include "model/ladder_model.h"

namespace velmorin {

using CellParams = std::array<ParamSlot, ParamSlots>;

struct CellContent {
    int32_t shape = ShapeEmpty;
    int32_t element = ElementNone;
    CellParams params{};
    bool operator==(const CellContent&) const = default;
};

inline CellContent ContentOf(const LadderCell& cell) { return {cell.shape, cell.element, cell.params}; }

inline void SetContent(LadderCell& cell, const CellContent& content) {
    cell.shape = content.shape;
    cell.element = content.element;
    cell.params = content.params;
}

// The cell as a reset leaves it: kind 29, no element, the four records unset.
inline CellContent EmptyContent() {
    CellContent content;
    for (ParamSlot& slot : content.params) slot[0] = Unchosen;
    return content;
}

inline void EmptyCell(LadderCell& cell) { SetContent(cell, EmptyContent()); }

// Writes a kind chosen by the editing rules. Kind 23 means "erase": the cell
// is emptied at once rather than left for the next paint to empty, so that a
// save, a compilation or an undo step taken before that paint sees it empty.
inline void WriteKind(LadderCell& cell, int32_t kind) {
    if (kind == KindBlank) {
        EmptyCell(cell);
    } else {
        cell.shape = kind;
    }
}

}  // namespace velmorin
