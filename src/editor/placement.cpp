#include "editor/placement.h"

#include <optional>

#include "editor/cell_content.h"
#include "editor/replacement_tables.h"

namespace velmorin {
namespace {

// The kinds the element tools lay down on an empty cell.
bool IsOneCellElementTool(int32_t tool) {
    return tool == KindBoxOneSided || tool == KindBoxTwoSided || tool == KindContactOpen || tool == KindContactClosed ||
           tool == KindConditional || tool == KindCoil;
}

struct Decision {
    std::optional<int32_t> kind;  // the kind for the clicked cell
    bool refused = false;
    int32_t aboveFixRow = -1;
    int32_t belowFixRow = -1;
};

Decision Horizontal(const LadderGrid& grid, const CellHit& hit) {
    const int32_t r = hit.cell.row, c = hit.cell.column;
    Decision d;
    const auto kind = Replacement(hit.xHalf < 0 ? std::span<const KindReplacement>(HorizontalLeftHalf)
                                                : std::span<const KindReplacement>(HorizontalRightHalf),
                                  grid.at(r, c).shape);
    // A lower box half has no output, so nothing may connect to its right.
    if (kind && !(grid.at(r, c - 1).shape == KindBoxLowerHalf && KindHas(*kind, AttrWireLeft))) d.kind = kind;
    return d;
}

Decision Vertical(const LadderGrid& grid, const CellHit& hit) {
    const int32_t r = hit.cell.row, c = hit.cell.column;
    Decision d;
    if (hit.yHalf < 0) {
        if (IsBlockFirstRow(r) || KindHas(grid.at(r - 1, c).shape, AttrElementPicture)) {
            d.refused = true;
        } else {
            d.kind = Replacement(VerticalUpperHalf, grid.at(r, c).shape);
        }
    } else {
        if (IsBlockLastRow(r) || KindHas(grid.at(r + 1, c).shape, AttrElementPicture)) {
            d.refused = true;
        } else {
            d.kind = Replacement(VerticalLowerHalf, grid.at(r, c).shape);
        }
    }
    return d;
}

Decision TwoRowBox(const LadderGrid& grid, const CellHit& hit) {
    const int32_t r = hit.cell.row, c = hit.cell.column;
    Decision d;
    if (IsBlockLastRow(r)) return d;
    const int32_t shape = grid.at(r, c).shape;
    const int32_t below = grid.at(r + 1, c).shape;
    if ((c < LastEditColumn && !KindHas(grid.at(r + 1, c + 1).shape, AttrNothingLeft)) ||
        (c > FirstEditColumn && !KindHas(grid.at(r + 1, c - 1).shape, AttrLowerBoxLeftOk))) {
        d.refused = true;
    } else if (shape != ShapeEmpty && shape != KindBoxUpperHalf) {
        d.refused = true;
    } else if (below != KindBoxLowerHalf && KindHas(below, AttrElement)) {
        // The lower half may take the place of a wire, never of another element.
        d.refused = true;
    } else {
        d.kind = KindBoxUpperHalf;
        d.aboveFixRow = IsBlockFirstRow(r) ? -1 : r - 1;
        d.belowFixRow = IsBlockLastRow(r + 1) ? -1 : r + 2;
    }
    return d;
}

Decision OneCellElement(const LadderGrid& grid, const CellHit& hit, int32_t tool) {
    const int32_t r = hit.cell.row, c = hit.cell.column;
    Decision d;
    if (grid.at(r, c).shape != ShapeEmpty) return d;
    const int32_t left = grid.at(r, c - 1).shape;
    if (left == KindBoxOneSided || left == KindBoxLowerHalf) {
        d.refused = true;
    } else {
        d.kind = tool;
        d.aboveFixRow = IsBlockFirstRow(r) ? -1 : r - 1;
        d.belowFixRow = IsBlockLastRow(r) ? -1 : r + 1;
    }
    return d;
}

void Fix(LadderGrid& grid, int32_t row, int32_t column, std::span<const KindReplacement> table, PlaceResult& out) {
    if (row < 0) return;
    LadderCell& cell = grid.at(row, column);
    if (const auto kind = Replacement(table, cell.shape)) {
        WriteKind(cell, *kind);
        out.neighboursChanged.push_back({column, row});
    }
}

}  // namespace

int32_t ToolForPickedKind(int32_t kind) {
    if (KindHas(kind, AttrWire)) return KindHorizontal;
    if (kind == KindBoxUpperHalf || kind == KindBoxLowerHalf) return KindBoxLowerHalf;
    // The remaining kinds a tool lays are the one-row element pictures.
    if (KindHas(kind, AttrElementPicture)) return kind;
    return -1;
}

bool ToolOpensParameters(int32_t tool) { return tool != KindHorizontal && tool != KindVertical && tool != KindBlank; }

PlaceResult PlaceAt(LadderGrid& grid, ToolState& tools, const CellHit& hit) {
    const int32_t r = hit.cell.row, c = hit.cell.column;
    LadderCell& cell = grid.at(r, c);
    const int32_t tool = tools.currentTool();
    PlaceResult out;

    Decision d;
    switch (tool) {
        case KindHorizontal:
            d = Horizontal(grid, hit);
            break;
        case KindVertical:
            d = Vertical(grid, hit);
            break;
        case KindBoxLowerHalf:
            d = TwoRowBox(grid, hit);
            break;
        case KindBlank:
            d.kind = KindBlank;
            break;
        default:
            // Without a tool (or with one no command offers) a click can only pick up.
            if (IsOneCellElementTool(tool)) d = OneCellElement(grid, hit, tool);
            break;
    }

    if (d.kind) {
        if (tool == KindBoxLowerHalf) {
            grid.at(r + 1, c).shape = KindBoxLowerHalf;
            out.neighboursChanged.push_back({c, r + 1});
        } else if (tool == KindBlank) {
            // Erasing either half of a box erases the whole box; a partner
            // cell that is not the other half (a damaged file) is left alone.
            if (cell.shape == KindBoxUpperHalf && r < LastEditRow && grid.at(r + 1, c).shape == KindBoxLowerHalf) {
                EmptyCell(grid.at(r + 1, c));
                out.neighboursChanged.push_back({c, r + 1});
            } else if (cell.shape == KindBoxLowerHalf && r > FirstEditRow &&
                       grid.at(r - 1, c).shape == KindBoxUpperHalf) {
                EmptyCell(grid.at(r - 1, c));
                out.neighboursChanged.push_back({c, r - 1});
            }
        }
        WriteKind(cell, *d.kind);
        out.placed = true;
        out.lastResult = *d.kind;
        Fix(grid, d.aboveFixRow, c, AboveNewElement, out);
        Fix(grid, d.belowFixRow, c, BelowNewElement, out);
        return out;
    }

    if (!d.refused && cell.occupied()) {
        const int32_t picked = ToolForPickedKind(cell.shape);
        if (picked >= 0 && picked != tool) {
            tools.SelectTool(picked);
            out.toolChanged = true;
        }
        out.pickedUp = true;
        out.lastResult = cell.shape;
        return out;
    }

    // Without a tool an empty cell is simply left alone.
    const bool layingTool = tool == KindHorizontal || tool == KindVertical || tool == KindBoxLowerHalf ||
                            tool == KindBlank || IsOneCellElementTool(tool);
    if (d.refused || (cell.shape == ShapeEmpty && layingTool)) {
        out.crossOut = true;
        out.lastResult = ResultRefused;
    }
    return out;
}

}  // namespace velmorin
