#pragma once
// What one paint of the diagram draws, decided without a toolkit. For each
// cell of the rows being painted: the picture, how it combines with what is
// under it (AND, or XOR for the highlights), and its texts with their fonts
// and places. Also what painting settles in the view's overlay: pending
// erasures are forgotten once drawn, an ended block selection is forgotten,
// and in live mode the operands to poll are collected. The model is only
// read. A painter (screen or printer) only carries the plan out.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/geometry.h"
#include "editor/live_values.h"
#include "editor/view_overlay.h"
#include "model/ladder_model.h"

namespace velmorin {

// The size of one 64 x 64-pixel cell in the drawing's logical unit (0.1 mm).
struct CellMetrics {
    int32_t w = 169;
    int32_t h = 169;
};
CellMetrics CellMetricsForDpi(double dpiX, double dpiY);

// Logical units of a catalogue offset given in pixels of a 64-pixel cell.
inline int32_t OffsetToLogical(int32_t pixels, int32_t cellUnits) {
    return (pixels * cellUnits + CellPixels / 2) / CellPixels;
}

struct RowRange {
    int32_t first = 0;
    int32_t last = -1;  // inclusive; last < first is no row
};

// Rows whose lower edge lies within one cell height of the visible band of
// pixels [top, bottom), clamped to the grid.
RowRange RowsToPaint(int32_t topPixel, int32_t bottomPixel);

struct PaintInputs {
    RowRange rows;
    // The view's highlights, pending erasures and live colours; without it
    // none of them.
    const ViewOverlay* overlay = nullptr;
    bool live = false;
    const LiveImageSnapshot* liveImage = nullptr;  // live values; zeros when absent
    bool printing = false;                         // black pictures, AND, no highlights, no live values, no changes
};

enum class PictureVariant : int8_t { Black = 0, Red = 1, Green = 2 };
enum class RasterOp : int8_t { And, Xor };

constexpr int32_t DiagramFontCount = 3;    // fonts 0 (bold), 1 (regular), 2 (narrow bold)
constexpr int32_t NarrowTextLimit = 127;   // wider texts (logical units) take font 2
constexpr int32_t DiagramTextHeight = 40;  // logical units, all three fonts
constexpr char Ellipsis = '\x85';          // Windows-1252 "…", ending a text cut to fit

// The width a text may take in a cell of `kind` whose top lies `top` logical
// units above the cell's lower edge: inside the outline of a box (less where
// the conditional box narrows to its point), else the cell less the margin
// the centring leaves. A text wider than its room, even in font 2, is cut
// and ends in an ellipsis: the same rule on the screen and on paper.
int32_t TextRoom(int32_t kind, int32_t top, const CellMetrics& metrics);

struct PlannedText {
    std::string text;  // Windows-1252 bytes
    int32_t font = 1;
    int32_t x = 0;      // logical units right of the cell's left edge
    int32_t top = 0;    // logical units from the cell's lower edge up to the text's top edge
    int32_t width = 0;  // logical units, in `font`
    int32_t slot = -1;  // the monitor slot of a live value, whose rectangle the cell keeps
};

struct PlannedCell {
    int32_t row = 0;
    int32_t column = 0;
    int32_t kind = 0;  // picture 0..28
    PictureVariant variant = PictureVariant::Black;
    RasterOp op = RasterOp::And;
    bool labelFrame = false;   // the label frame over the first rail cell of a block, with AND
    bool opaqueText = false;   // texts on a white background
    bool elementRect = false;  // live: keep the cell's device rectangle for the refresh
    int32_t firstText = 0;     // into PaintPlan::texts
    int32_t textCount = 0;
};

struct PaintPlan {
    std::vector<PlannedCell> cells;  // row by row, columns 0 to 9
    std::vector<PlannedText> texts;
    std::vector<CellPos> erased;  // the overlay's pending erasures this paint reached
    bool selectionCleared = false;
    bool live = false;
    MonitoredOperandList monitoredOperands;  // live paints only
};

// Width of a Windows-1252 text in logical units, in diagram font 0, 1 or 2.
using TextMeasure = std::function<int32_t(std::string_view text, int32_t font)>;

// Plans a paint into `plan`, reusing its storage.
void PlanPaint(const ProgramModel& model, const PaintInputs& inputs, const CellMetrics& metrics,
               const TextMeasure& measure, PaintPlan& plan);

// What a screen paint settles once drawn: the pending erasures it drew blank
// are forgotten.
void FinishPaint(const PaintPlan& plan, ViewOverlay& overlay);

}  // namespace velmorin
