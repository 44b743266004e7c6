#pragma once
// What the live monitor shows on the diagram: which operands a cell polls,
// the value texts read from a snapshot of the controller's bytes, and the
// colour refresh after each poll cycle. Plain functions over the model and
// the view's overlay; the view forwards their results to the window.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/view_overlay.h"
#include "model/ladder_model.h"

namespace velmorin {

// The controller's 256 bytes as the last poll left them (index = address).
using LiveImageSnapshot = std::array<uint8_t, 256>;

// Operand addresses collected by the last live paint, ended by -1.
using MonitoredOperandList = std::vector<int32_t>;

// The catalogue entry of the element a cell carries, or nullptr when it
// carries none: no element id, an id the catalogue does not know, or a kind
// that cannot hold an element (only a damaged file puts one there).
const CatalogueEntry* CellElement(const LadderCell& cell);

// An element id that is neither a catalogue entry nor "no element".
inline bool UnknownElement(int32_t element) { return element < 0 || element > ElementNone; }

// The variable index a parameter slot names (parameter 1..3), or -1 when the
// slot is unset or the parameter number is out of range.
int32_t OperandIndex(const LadderCell& cell, int32_t param);

// Where an operand's value lives: its own index, or for a counter or timer
// output (index 76 and up) the first byte of its count state.
int32_t LiveValueAddress(int32_t operandIndex);

// The signed 16-bit little-endian word at an address; nothing when the word
// would reach past the image.
std::optional<int32_t> LiveWord(const LiveImageSnapshot& image, int32_t address);

// "%5d", or "%5.1f" / "%5.2f" of the value scaled by the slot's flags.
std::string FormatLiveValue(int32_t value, int32_t slotFlags);

// Appends what a live element cell asks to poll: every polled operand, and
// the count-state word of counters and timers.
void CollectMonitoredOperands(const LadderCell& cell, std::vector<int32_t>& scratch);

// First occurrences only, negative entries dropped, -1 appended.
MonitoredOperandList FinishOperandList(const std::vector<int32_t>& scratch);

struct LiveRefresh {
    bool allKnown = true;           // false when a cell holds an element id the catalogue does not know
    std::vector<Rect> invalidated;  // device rectangles to repaint
};

// New colour states in the overlay for every cell of the grid from the
// snapshot; collects the element rectangles whose colour changed and the
// value-text rectangles to redraw. The grid is only read.
LiveRefresh RefreshLive(const LadderGrid& grid, const LiveImageSnapshot& image, ViewOverlay& overlay);

}  // namespace velmorin
