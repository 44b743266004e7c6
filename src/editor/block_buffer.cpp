#include "editor/block_buffer.h"

#include <algorithm>

#include "editor/cell_content.h"

namespace velmorin {
namespace {

// Cells beyond the grid (a buffer reaching past column 9 or row 96) read as
// empty, so the checks before "past column 8" never look outside the grid.
int32_t ShapeAt(const LadderGrid& grid, int32_t row, int32_t column) {
    if (row < 0 || row >= GridRows || column < 0 || column >= GridColumns) return ShapeEmpty;
    return grid.at(row, column).shape;
}

bool Has(int32_t shape, int32_t bits) { return KindHas(shape, bits); }

bool JumpsAtOrBefore(const LadderCell& cell, int32_t block) {
    if (cell.element < 0 || cell.element >= ElementDummy) return false;
    const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
    for (int32_t i = 0; i < entry.paramCount && i < ParamSlots; ++i) {
        if (entry.paramDefs[static_cast<size_t>(i)].kind != ParamKind::Label) continue;
        const uint8_t label = cell.params[static_cast<size_t>(i)][0];
        if (label != Unchosen && label <= block) return true;
    }
    return false;
}

int32_t EntryRefusal(const LadderGrid& grid, const BlockEntry& entry, int32_t h, int32_t o, int32_t block) {
    const int32_t b = BlockRows * block;  // the row before the block
    const int32_t kind = entry.cell.shape;
    const bool wire = Has(kind, AttrWire);
    const bool element = Has(kind, AttrElement);
    if (o > b + BlockRows) return PasteBelowBlock;
    if (wire && Has(kind, AttrDown) && o == b + BlockRows) return PasteDownIntoLastRow;
    if (wire && Has(kind, AttrDown) && Has(ShapeAt(grid, o + 1, h), AttrElement)) return PasteDownOntoElement;
    if (wire && Has(kind, AttrUp) && o == b + 1) return PasteUpIntoFirstRow;
    if (wire && Has(kind, AttrUp) && o != 0 && Has(ShapeAt(grid, o - 1, h), AttrElement)) return PasteUpUnderElement;
    if (element && Has(ShapeAt(grid, o + 1, h), AttrUp)) return PasteElementOverUp;
    if (element && o != 0 && Has(ShapeAt(grid, o - 1, h), AttrDown)) return PasteElementUnderDown;
    if (h > LastEditColumn) return PastePastColumn8;
    if (ShapeAt(grid, o, h) != ShapeEmpty) return PasteOccupied;
    if (ShapeAt(grid, o, h - 1) == KindBoxLowerHalf) return PasteRightOfLowerHalf;
    if (ShapeAt(grid, o + 1, h) == KindBoxLowerHalf) return PasteAboveLowerHalf;
    if (kind == KindBoxUpperHalf && o == b + BlockRows) return PasteUpperHalfInLastRow;
    if (JumpsAtOrBefore(entry.cell, block)) return PasteJumpBackward;
    return PasteFits;
}

}  // namespace

BlockBounds BoundsOf(CellPos a, CellPos b) {
    return {std::min(a.column, b.column), std::min(a.row, b.row), std::max(a.column, b.column), std::max(a.row, b.row)};
}

bool BlockBuffer::Append(const LadderCell& cell, int32_t column, int32_t row) {
    if (count_ >= BlockBufferCapacity) return false;
    entries_[static_cast<size_t>(count_++)] = {cell, column, row};
    return true;
}

void CopyBlock(const LadderGrid& grid, const BlockBounds& bounds, BlockBuffer& buffer) {
    buffer.Start(bounds);
    for (int32_t row = 0; row < GridRows; ++row) {
        for (int32_t column = 0; column < GridColumns; ++column) {
            if (!bounds.contains(row, column)) continue;
            const LadderCell& cell = grid.at(row, column);
            if (cell.shape == KindBoxUpperHalf && row == bounds.highRow) continue;
            if (cell.shape == KindBoxLowerHalf && row == bounds.lowRow) continue;
            if (!buffer.Append(cell, column, row)) return;
        }
    }
}

void CutBlock(LadderGrid& grid, const BlockBounds& bounds, BlockBuffer& buffer) {
    CopyBlock(grid, bounds, buffer);
    for (int32_t row = std::max(bounds.lowRow, 0); row <= std::min(bounds.highRow, GridRows - 1); ++row) {
        for (int32_t column = std::max(bounds.lowColumn, 0); column <= std::min(bounds.highColumn, GridColumns - 1);
             ++column) {
            LadderCell& cell = grid.at(row, column);
            // The partner is taken only when it really is the other half.
            if (cell.shape == KindBoxUpperHalf && row + 1 < GridRows &&
                grid.at(row + 1, column).shape == KindBoxLowerHalf) {
                EmptyCell(grid.at(row + 1, column));
            } else if (cell.shape == KindBoxLowerHalf && row > 0 &&
                       grid.at(row - 1, column).shape == KindBoxUpperHalf) {
                EmptyCell(grid.at(row - 1, column));
            }
            EmptyCell(cell);
        }
    }
}

namespace {

CellPos EntryTarget(const BlockBuffer& buffer, const BlockEntry& entry, CellPos target) {
    const BlockBounds& copied = buffer.bounds();
    return {target.column + (entry.column - copied.lowColumn), target.row + (entry.row - copied.lowRow) % BlockRows};
}

}  // namespace

int32_t PasteRefusal(const LadderGrid& grid, const BlockBuffer& buffer, CellPos target) {
    // The editor always pastes at an editable cell; anything else lies in no block.
    if (!IsEditable(target)) return PasteBelowBlock;
    const int32_t block = BlockOfRow(target.row);
    for (int32_t i = 0; i < buffer.count(); ++i) {
        const BlockEntry& entry = buffer.entry(i);
        const CellPos at = EntryTarget(buffer, entry, target);
        if (const int32_t reason = EntryRefusal(grid, entry, at.column, at.row, block)) return reason;
    }
    return PasteFits;
}

int32_t PasteBlock(LadderGrid& grid, const BlockBuffer& buffer, CellPos target) {
    if (const int32_t reason = PasteRefusal(grid, buffer, target)) return reason;
    for (int32_t i = 0; i < buffer.count(); ++i) {
        const BlockEntry& entry = buffer.entry(i);
        const CellPos at = EntryTarget(buffer, entry, target);
        SetContent(grid.at(at.row, at.column), ContentOf(entry.cell));
    }
    return PasteFits;
}

}  // namespace velmorin
