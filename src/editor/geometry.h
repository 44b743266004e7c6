#pragma once
// Where things are on the diagram, in pixels of the unscrolled diagram
// (y grows downward). Every cell is 64 x 64 pixels whatever the screen, so
// the view converts its scrolled client points here and nothing else needs
// to know about the logical units of printing.
#include <cstdint>
#include <optional>

#include "model/ladder_model.h"

namespace velmorin {

constexpr int32_t CellPixels = 64;
constexpr int32_t FirstEditColumn = 1;
constexpr int32_t LastEditColumn = GridColumns - 2;  // 8
constexpr int32_t FirstEditRow = 1;
constexpr int32_t LastEditRow = GridRows - 1;  // 96

struct PixelPoint {
    int32_t x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelSize {
    int32_t width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// Left, top, width and height, as the view's repaint calls take them.
struct PixelRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
    bool contains(PixelPoint p) const { return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height; }
};

struct CellPos {
    int32_t column = -1, row = -1;
    bool operator==(const CellPos&) const = default;
};

// A rectangle of cells being selected for the block dialog: both corners
// inclusive, within one block.
struct BlockSelection {
    // 0 none, 1 being made, -1 ended (its highlight goes with the next paint).
    int32_t state = 0;
    CellPos fixed;
    CellPos moving;
};

// A point on an editable cell, with the half of the cell it lies in.
struct CellHit {
    CellPos cell;
    int32_t xHalf = -1;  // -1 left half, +1 right half
    int32_t yHalf = -1;  // -1 upper half, +1 lower half
    bool operator==(const CellHit&) const = default;
};

// The editable cell under a point: columns 1-8 and rows 1-96 only.
std::optional<CellHit> CellAt(PixelPoint point);
inline bool IsEditable(CellPos cell) {
    return cell.column >= FirstEditColumn && cell.column <= LastEditColumn && cell.row >= FirstEditRow &&
           cell.row <= LastEditRow;
}

constexpr int32_t BlockLastRow(int32_t block) { return BlockFirstRow(block) + BlockRows - 1; }
constexpr bool IsBlockFirstRow(int32_t row) { return row >= 1 && (row - 1) % BlockRows == 0; }
constexpr bool IsBlockLastRow(int32_t row) { return row >= 1 && row % BlockRows == 0; }
constexpr bool SameBlock(int32_t rowA, int32_t rowB) { return BlockOfRow(rowA) == BlockOfRow(rowB); }

// The cell's anchor: its lower-left corner, where pictures and texts hang from.
PixelPoint CellAnchor(CellPos cell);
PixelRect CellRect(CellPos cell);
// The smallest rectangle holding every cell between two corners, inclusive.
PixelRect CellsRect(CellPos a, CellPos b);
PixelRect Unite(const PixelRect& a, const PixelRect& b);

// A change is made visible by repainting 128 x 128 pixels centred on the
// click point or on the changed cell's anchor.
PixelRect SquareAround(PixelPoint centre);
PixelRect SquareAroundAnchor(CellPos cell);

// The centre of a cell and a point in the middle of one of its halves, as
// the keyboard clicks them.
PixelPoint CellCentre(CellPos cell);
PixelPoint HalfPoint(CellPos cell, int32_t xHalf, int32_t yHalf);

// The scroll origin that shows `target` inside a viewport of `size` now at
// `origin`, moving as little as possible (unchanged when it is visible).
PixelPoint ScrollToShow(PixelRect target, PixelPoint origin, PixelSize size);

// Where a window of `size` (its frame included) goes on the `screen` so that
// it leaves `target` in sight, all in screen pixels: right of the target,
// else left of it, else below, else above, lined up with it and kept on the
// screen; where no side has room, the place that covers the least of it.
PixelPoint PlaceBeside(const PixelRect& target, PixelSize size, const PixelRect& screen);

}  // namespace velmorin
