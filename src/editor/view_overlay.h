#pragma once
// What the view shows over the program and keeps for itself: the cursor
// (the hover cell), the block selection, the cell the error list marks, the
// cells an edit has just erased, and in live mode each cell's colour and the
// device rectangles the last live paint drew. The view owns it; the editing
// session writes the editing part, the live refresh the colours, the painter
// the rectangles, and the paint plan reads it. None of it is saved, undone
// or compiled, so the model holds only the program: nothing but an edit
// writes it, and a paint never does.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "editor/geometry.h"
#include "model/ladder_model.h"

namespace velmorin {

enum ColourState : int8_t { ColourBlack = 0, ColourRed = 1, ColourGreen = 2 };

// A device rectangle of the view, in its client pixels.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

constexpr int32_t OperandRectCount = 4;

struct ViewOverlay {
    static constexpr int32_t CellCount = GridRows * GridColumns;

    // The keyboard cursor and hover highlight: none until an editing session starts.
    CellPos hover;
    BlockSelection selection;
    // Where the error list points; none by default.
    CellPos marked;
    // Cells an edit emptied: the next paint that reaches them draws them
    // blank once (kind 23), then they are forgotten.
    std::vector<CellPos> pendingErase;

    // Live mode: each cell's colour, and where the last live paint drew each
    // element and its value texts, so that a refresh repaints only those.
    std::array<int8_t, CellCount> liveState{};
    std::array<Rect, CellCount> elementRects{};
    std::array<std::array<Rect, OperandRectCount>, CellCount> operandRects{};

    static constexpr size_t Index(int32_t row, int32_t column) {
        return static_cast<size_t>(row * GridColumns + column);
    }
    int8_t& colourAt(int32_t row, int32_t column) { return liveState[Index(row, column)]; }
    int8_t colourAt(int32_t row, int32_t column) const { return liveState[Index(row, column)]; }
    Rect& elementRectAt(int32_t row, int32_t column) { return elementRects[Index(row, column)]; }
    std::array<Rect, OperandRectCount>& operandRectsAt(int32_t row, int32_t column) {
        return operandRects[Index(row, column)];
    }

    bool ErasePending(CellPos cell) const {
        return std::find(pendingErase.begin(), pendingErase.end(), cell) != pendingErase.end();
    }
    void MarkErased(CellPos cell) {
        if (!ErasePending(cell)) pendingErase.push_back(cell);
    }
    // Every cell black again, as at the start of a live run.
    void ClearLiveColours() { liveState.fill(ColourBlack); }
};

}  // namespace velmorin
