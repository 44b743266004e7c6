#pragma once
// Place at a point: what one click with the current tool does to the grid.
// Wires are laid half a cell at a time, elements and two-row boxes fix the
// wires above and below them, and a click that places nothing on an
// occupied cell picks that cell up (the tool follows it).
#include <cstdint>
#include <vector>

#include "editor/geometry.h"
#include "model/ladder_model.h"
#include "model/tool_state.h"

namespace velmorin {

// Last-result codes of a click besides the kind placed or picked up (0-28).
constexpr int32_t ResultNothing = 29;
constexpr int32_t ResultRefused = 30;

struct PlaceResult {
    int32_t lastResult = ResultNothing;
    bool placed = false;
    bool pickedUp = false;
    bool crossOut = false;     // refused, or nothing placed on an empty cell
    bool toolChanged = false;  // a pick-up changed the tool
    // Cells other than the clicked one whose content changed (the other half
    // of a box, fixed neighbours), in the order they changed.
    std::vector<CellPos> neighboursChanged;
};

PlaceResult PlaceAt(LadderGrid& grid, ToolState& tools, const CellHit& hit);

// The tool a picked-up cell selects: wires the horizontal line, either half
// of a two-row box the two-row box, an element kind its own tool; -1 for
// kinds no tool lays (the tool then stays).
int32_t ToolForPickedKind(int32_t kind);

// The wire and erase tools finish with the click; every other tool goes on
// to the parameter dialog of the cell.
bool ToolOpensParameters(int32_t tool);

}  // namespace velmorin
