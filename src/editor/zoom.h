#pragma once
// The diagram's display scale. The program is laid out in cells of 64
// diagram pixels (geometry.h); the view shows them larger or smaller, and
// everything between the screen and that layout (hit-testing with the cell
// halves, scrolling, repainting) goes through here. Steps of 25% from 50% to
// 200% keep a cell a whole number of screen pixels (32 to 128), so that the
// grid never drifts by a pixel from one cell to the next.
#include <cstdint>
#include <optional>

#include "editor/geometry.h"

namespace velmorin {

class ViewZoom {
public:
    static constexpr int32_t MinPercent = 50;
    static constexpr int32_t MaxPercent = 200;
    static constexpr int32_t StepPercent = 25;
    static constexpr int32_t NormalPercent = 100;

    // Any stored or asked-for value: clamped to the range and rounded to the nearest step.
    explicit ViewZoom(int32_t percent = NormalPercent);

    int32_t percent() const { return percent_; }
    double factor() const { return percent_ / 100.0; }
    bool normal() const { return percent_ == NormalPercent; }
    // The side of a cell on the screen.
    int32_t cellPixels() const { return CellPixels * percent_ / 100; }

    // One step larger or smaller (stays at the ends); `steps` of them.
    ViewZoom Stepped(int32_t steps) const;

    // A screen pixel (scrolled in, so of the whole zoomed diagram) to the
    // diagram pixel it shows, and back. The screen side of a cell is whole,
    // so cell edges map exactly both ways.
    int32_t ToDiagram(int32_t screen) const;
    PixelPoint ToDiagram(PixelPoint screen) const { return {ToDiagram(screen.x), ToDiagram(screen.y)}; }
    int32_t ToScreen(int32_t diagram) const;
    PixelPoint ToScreen(PixelPoint diagram) const { return {ToScreen(diagram.x), ToScreen(diagram.y)}; }
    // The screen rectangle that covers a diagram rectangle whole.
    PixelRect ToScreen(const PixelRect& diagram) const;

    // The editable cell, and its halves, under a screen pixel.
    std::optional<CellHit> HitAt(PixelPoint screen) const { return CellAt(ToDiagram(screen)); }

    bool operator==(const ViewZoom&) const = default;

private:
    int32_t percent_;
};

// Ctrl+wheel: wheels report eighths of a degree, 120 to a notch, and
// touchpads a notch in small parts. The parts are kept until they make a
// whole notch, one zoom step each; a turn back drops what was kept.
class ZoomWheel {
public:
    static constexpr int32_t Notch = 120;
    // The whole steps this delta completes (positive: larger).
    int32_t Steps(int32_t angleDelta);

private:
    int32_t pending_ = 0;
};

}  // namespace velmorin
