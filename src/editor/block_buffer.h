#pragma once
// Blocks: a rectangle of cells within one block is copied or cut into the
// in-memory buffer and pasted elsewhere, whole or not at all.
#include <array>
#include <cstdint>

#include "editor/geometry.h"
#include "model/ladder_model.h"

namespace velmorin {

// Four rows of one block by columns 1-8.
constexpr int32_t BlockBufferCapacity = 32;

struct BlockEntry {
    LadderCell cell;
    int32_t column = 0;
    int32_t row = 0;
};

struct BlockBounds {
    int32_t lowColumn = 0, lowRow = 0, highColumn = 0, highRow = 0;
    bool operator==(const BlockBounds&) const = default;
    bool contains(int32_t row, int32_t column) const {
        return row >= lowRow && row <= highRow && column >= lowColumn && column <= highColumn;
    }
};

BlockBounds BoundsOf(CellPos a, CellPos b);

class BlockBuffer {
public:
    int32_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    const BlockEntry& entry(int32_t i) const { return entries_[static_cast<size_t>(i)]; }
    // The selection the entries were copied from.
    const BlockBounds& bounds() const { return bounds_; }

    void Clear() { count_ = 0; }
    void Start(const BlockBounds& bounds) {
        count_ = 0;
        bounds_ = bounds;
    }
    // False when the buffer is full.
    bool Append(const LadderCell& cell, int32_t column, int32_t row);

private:
    std::array<BlockEntry, BlockBufferCapacity> entries_{};
    int32_t count_ = 0;
    BlockBounds bounds_;
};

// Every cell inside the bounds, row by row, except a box half whose other
// half lies outside them: an upper half on the last selected row, a lower
// half on the first.
void CopyBlock(const LadderGrid& grid, const BlockBounds& bounds, BlockBuffer& buffer);
// Copies, then empties every cell inside the bounds; a box half inside them
// takes its other half along even when that half lies outside.
void CutBlock(LadderGrid& grid, const BlockBounds& bounds, BlockBuffer& buffer);

// Refusal reasons of a paste, checked in this order for each entry.
enum PasteReason : int32_t {
    PasteFits = 0,
    PasteBelowBlock = 1,
    PasteDownIntoLastRow = 2,
    PasteDownOntoElement = 3,
    PasteUpIntoFirstRow = 4,
    PasteUpUnderElement = 5,
    PasteElementOverUp = 6,
    PasteElementUnderDown = 7,
    PastePastColumn8 = 8,
    PasteOccupied = 9,
    PasteRightOfLowerHalf = 10,
    PasteAboveLowerHalf = 11,
    PasteUpperHalfInLastRow = 12,
    PasteJumpBackward = 13,
};

// The first reason the buffer does not fit with its first copied cell at
// `target`, looking at the grid as it is; PasteFits when every entry fits.
int32_t PasteRefusal(const LadderGrid& grid, const BlockBuffer& buffer, CellPos target);
// Pastes when everything fits and returns the reason otherwise (the grid is
// then untouched).
int32_t PasteBlock(LadderGrid& grid, const BlockBuffer& buffer, CellPos target);

}  // namespace velmorin
